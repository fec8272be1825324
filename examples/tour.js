// A short tour of what a script sees: a report run through the viewer,
// arguments by reference, a handler for the host's events, and run-time
// errors as exceptions. The last line fails on purpose: an uncaught run-time
// error ends the script with status 1 and the error on standard error.
//
//   q7bom script examples/tour.js

// The report viewer drives the report's handler as it does for a user.
const viewer = createObject("Q7Host.ReportViewer");
viewer.Open("BO02004");
viewer.SetFilter("InvCode", "BK-100");
viewer.SetFilter("EffDate", dateValue("2025-07-01"));
const result = viewer.Run(account);
print(result.columns.slice(2, 6).join(" | "));
for (const row of result.rows.slice(0, 3))
    print(row.slice(2, 6).join(" | "));

// By reference: the program definition fills its last three arguments.
const programType = ref(Empty), handler = ref(Nothing);
createObject("Q7BomLib.clsProgramDefine").setprogramtype("BO02004", "", programType, ref(Empty), handler);
print("BO02004:", programType.value, typeName(handler.value));

// The process form raises ColumnChanging when a field is typed; the script
// hears it beside the menu's handler, and refuses through the argument.
const library = createObject("Q7Host.Process");
const form = library.OpenForm("BO01003", account.Path, "tour");
bindEvents(form.EventHandler, "objTour", {
    objTour_ColumnChanging(key, value, accept) {
        if (key.value === "InvCode" && value.value.startsWith("BK-"))
            accept.value = 0; // finished goods are not removed from BOMs here
    },
});
print(form.EnterField("InvCode", "BK-100") || "taken");
print(form.EnterField("InvCode", "SP-320") || "taken");

try {
    handler.value.NoSuchMember();
} catch (e) {
    print("caught", e.number, e.description);
}
viewer.Open("BO02099");

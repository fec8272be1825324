// Replaces a component item by another in every BOM, after a dry run that
// shows the lines it would change. Without --apply it stops after the dry run.
//
//   q7bom script examples/replace-component.js OLD NEW [FIELD=VALUE]... [--apply]
//   q7bom script examples/replace-component.js HB-220 HB-210 --apply
//
// The form is the process library's parameter form of menu BO01002, with the
// component's handler bound to it: each field is typed as a user types it
// (the handler may refuse it), and the handler checks the whole form before
// the operation starts.

const apply = args.includes("--apply");
const [oldCode, newCode, ...fields] = args.filter(a => a !== "--apply");
if (!oldCode || !newCode) {
    console.log("usage: replace-component.js OLD NEW [FIELD=VALUE]... [--apply]");
    exit(2);
}

const library = createObject("Q7Host.Process");
const form = library.OpenForm("BO01002", account.Path, "script");
const entries = [["OldInvCode", oldCode], ["NewInvCode", newCode],
                 ...fields.map(f => [f.slice(0, f.indexOf("=")), f.slice(f.indexOf("=") + 1)])];
for (const [name, value] of entries) {
    const refused = form.EnterField(name, value);
    if (refused) {
        console.log(name + ": " + refused);
        exit(2);
    }
}

function show(result) {
    for (const row of result.rows)
        print("  " + row.join(" | "));
    print(result.summary);
}

print("Dry run:");
const preview = form.RunOperation(true);
if (!preview.done)
    exit(2); // the handler refused the form and has said why
show(preview);
if (preview.rows.length === 0 || !apply) {
    library.CloseForm(form);
    exit(0);
}

print("Replacing:");
const run = form.RunOperation(false);
if (!run.done)
    exit(2);
show(run);
print("Recorded as run " + run.runId + " (q7bom maintain --undo " + run.runId + " restores it)");
library.CloseForm(form);

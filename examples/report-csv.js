// Runs a BOM report through the report viewer with filters and writes its
// rows as CSV.
//
//   q7bom script examples/report-csv.js KEY OUT.csv [ITEM=VALUE | ITEM=LOW..HIGH]...
//   q7bom script examples/report-csv.js BO02004 bk100.csv InvCode=BK-100 EffDate=2025-07-01
//
// The viewer's handler writes its defaults and checks the filters as it does
// for a user; a refused filter prints the handler's message and ends with 2.

if (args.length < 2) {
    console.log("usage: report-csv.js KEY OUT.csv [ITEM=VALUE | ITEM=LOW..HIGH]...");
    exit(2);
}
const [key, output, ...filters] = args;

const viewer = createObject("Q7Host.ReportViewer");
viewer.Open(key);
for (const filter of filters) {
    const eq = filter.indexOf("=");
    if (eq <= 0) {
        console.log("a filter is ITEM=VALUE or ITEM=LOW..HIGH, not '" + filter + "'");
        exit(2);
    }
    const name = filter.slice(0, eq), value = filter.slice(eq + 1), dots = value.indexOf("..");
    if (dots < 0)
        viewer.SetFilter(name, value);
    else
        viewer.SetFilter(name, value.slice(0, dots), value.slice(dots + 2));
}

const result = viewer.Run(account);
if (result.refused) {
    console.log(result.message);
    exit(2);
}

function field(value) {
    const text = value === null || value === undefined ? "" : value instanceof Date ? dateText(value) : String(value);
    return /[",\r\n]/.test(text) ? '"' + text.replace(/"/g, '""') + '"' : text;
}
const lines = [result.columns, ...result.rows].map(row => row.map(field).join(","));
writeTextFile(output, lines.join("\n") + "\n");
print(key + ": " + result.rows.length + " rows written to " + output);

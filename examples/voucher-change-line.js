// Changes one line of an item's BOM through the BOM voucher, as a user would
// in the voucher window: show the BOM, press Edit, type the new base quantity
// into the line, press Save. The component's handler checks the BOM before it
// is saved; the usage quantity follows from the typed base quantity.
//
//   q7bom script examples/voucher-change-line.js ITEM COMPONENT QUANTITY
//   q7bom script --db acc.db examples/voucher-change-line.js WH-200 SP-320 40

const [item, component, quantity] = args;
if (!item || !component || !quantity) {
    console.log("usage: voucher-change-line.js ITEM COMPONENT QUANTITY");
    exit(2);
}

const voucher = createObject("Q7Host.Voucher").OpenVoucher(account.Path, "script");
if (!voucher.ShowBom(item)) {
    console.log(item + " has no main BOM");
    exit(2);
}

let row = 0;
for (let r = 1; r <= voucher.Rows(); ++r)
    if (voucher.BodyText(r, "DInvCode") === component)
        row = r;
if (!row) {
    console.log(component + " is not on the BOM of " + item);
    exit(2);
}

const line = () => "line " + row + ": " + component + " base quantity " + voucher.BodyText(row, "DBaseQtyN") +
                   ", usage quantity " + voucher.BodyText(row, "DQty");
print("before  " + line());
voucher.ExecuteMenuTask("tlbEdit");
let refused;
try {
    refused = voucher.TypeBody(row, "DBaseQtyN", quantity);
} catch (e) { // a run-time error of the voucher's rules, e.g. 13 for a text that is no number
    refused = "run-time error " + e.number + ": " + e.description;
}
if (refused) {
    console.log(refused);
    exit(2);
}
const notSaved = voucher.Save();
if (notSaved) {
    console.log(notSaved);
    exit(2);
}
print("saved   " + line());

// Lists every menu key of the BOM module with the program type, the voucher
// type and the handler class that the component's program definition answers.
//
//   q7bom script examples/program-types.js
//
// SetProgramType(menu key, "", program type, voucher type, handler) fills its
// last three arguments by reference: ref() holds them for the call.

const menuKeys = ["BO01001", "BO01002", "BO01003", "BO01004", "BO01005", "BO02000", "BO02001", "BO02002",
                  "BO02003", "BO02004", "BO02005", "BO02006", "BO02007", "BO02008", "BO02009", "BO02010"];

const programDefine = createObject("Q7BomLib.clsProgramDefine");
print(["menu", "program_type", "voucher_type", "handler"].join("\t"));
for (const key of menuKeys) {
    const programType = ref(Empty), voucherType = ref(Empty), handler = ref(Nothing);
    programDefine.SetProgramType(key, "", programType, voucherType, handler);
    print([key, programType.value, voucherType.value, isNothing(handler.value) ? "" : typeName(handler.value)].join("\t"));
}

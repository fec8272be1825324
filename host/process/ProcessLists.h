#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The drop-down lists of the maintenance parameter forms.
//  39 — BOM type: 全部 (0, every type), 主BOM (1), 替代BOM (2)
//  40 — selection of BOMs: 全部 (0, every BOM), 有效BOM (1, those in force on the effective date)
namespace q7::host::process {

inline constexpr int BomTypeList = 39;
inline constexpr int SelectionList = 40;

// The texts of a list in order; empty for a list kind the forms do not have.
QStringList listTexts(int listKind);
// The code of a list text (compared trimmed, ignoring case); nothing for an
// unknown list or text.
std::optional<QString> listCode(const QString& text, int listKind);

} // namespace q7::host::process

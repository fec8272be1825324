#pragma once

#include "host/voucher/BomDocument.h"

#include <QList>
#include <QString>
#include <QVariantList>

#include <array>
#include <functional>
#include <optional>

namespace q7::host::voucher {

// One thing wrong with a BOM before it is written: where (0 the head, n the
// body's line n counted from 1), which field (the voucher's key) and what.
struct Problem {
    int line = 0;
    QString field;
    QString message;
    int number = 0;          // the string table's message, when the problem is one of its messages
    QVariantList arguments = {}; // and its "%s" arguments
};

// What the checks ask of the account.
struct AccountFacts {
    // Which of its ten free items an item uses; none when the account has no such item.
    std::function<std::optional<std::array<bool, 10>>(const QString&)> freeItemsOf;
    std::function<bool(const QString&)> wareHouseExists;
    std::function<bool(const QString&)> departmentExists;
};

// Every rule a BOM must keep to be stored, whatever path it comes by (the
// voucher's window, an import, a copy): the parent and each component an item
// of the account, with a value for each free item the item uses and none for
// the others; a main BOM's version a whole number of at most 8 digits and
// its version date a real date; a substitute BOM's identifier; parent and
// component scrap from 0 up to (not including) 100 %; base quantity numerator
// and denominator finite and above 0; a plan rate not below 0; dates real
// (yyyy-mm-dd) and each beginning before its end; list fields from their
// lists; warehouses and departments that exist. Numbers as the voucher takes
// them. All problems, head first, then line by line.
QList<Problem> checkBom(const BomDocument& document, const AccountFacts& facts);

// A date as the account keeps it: a real day written yyyy-mm-dd.
bool isDateText(const QString& text);
// A main BOM's version: a whole number from 1 to 99999999 (at most 8 digits).
bool isVersionNumber(double version);

} // namespace q7::host::voucher

#pragma once

#include <libpq-fe.h>

namespace q7::data {

// The functions of the server's client library (libpq) this program calls,
// taken when a server is first used: commands on account files do not load
// the library at all.
struct LibPq {
    decltype(&::PQconninfoParse) conninfoParse;
    decltype(&::PQconninfoFree) conninfoFree;
    decltype(&::PQfreemem) freemem;
    decltype(&::PQerrorMessage) errorMessage;
    decltype(&::PQtransactionStatus) transactionStatus;
    decltype(&::PQexec) exec;
    decltype(&::PQexecParams) execParams;
    decltype(&::PQresultStatus) resultStatus;
    decltype(&::PQresultErrorMessage) resultErrorMessage;
    decltype(&::PQntuples) ntuples;
    decltype(&::PQgetvalue) getvalue;
    decltype(&::PQgetlength) getlength;
    decltype(&::PQgetisnull) getisnull;
    decltype(&::PQclear) clear;
    decltype(&::PQputCopyData) putCopyData;
    decltype(&::PQputCopyEnd) putCopyEnd;
    decltype(&::PQgetResult) getResult;
};

// Loads the library on the first call; a provider error when it (or one of
// its functions) is missing.
const LibPq& libpq();

} // namespace q7::data

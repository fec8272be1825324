#include "platform/data/LibPq.h"

#include "platform/LazyLibrary.h"
#include "platform/data/DatabaseError.h"


namespace q7::data {

namespace {

LibPq load()
{
    static LazyLibrary library("libpq.so.5");
    LibPq pq{};
    library.take(pq.conninfoParse, "PQconninfoParse");
    library.take(pq.conninfoFree, "PQconninfoFree");
    library.take(pq.freemem, "PQfreemem");
    library.take(pq.errorMessage, "PQerrorMessage");
    library.take(pq.transactionStatus, "PQtransactionStatus");
    library.take(pq.exec, "PQexec");
    library.take(pq.execParams, "PQexecParams");
    library.take(pq.resultStatus, "PQresultStatus");
    library.take(pq.resultErrorMessage, "PQresultErrorMessage");
    library.take(pq.ntuples, "PQntuples");
    library.take(pq.getvalue, "PQgetvalue");
    library.take(pq.getlength, "PQgetlength");
    library.take(pq.getisnull, "PQgetisnull");
    library.take(pq.clear, "PQclear");
    library.take(pq.putCopyData, "PQputCopyData");
    library.take(pq.putCopyEnd, "PQputCopyEnd");
    library.take(pq.getResult, "PQgetResult");
    if (!library.error().isEmpty())
        throwProviderError(QStringLiteral("The PostgreSQL client library cannot be used: %1").arg(library.error()));
    return pq;
}

} // namespace

const LibPq& libpq()
{
    static const LibPq functions = load(); // a failed load throws and is tried again on the next call
    return functions;
}

} // namespace q7::data

#include "platform/data/LibPq.h"

#include "platform/LazyLibrary.h"
#include "platform/data/DatabaseError.h"


namespace q7::data {

namespace {

LibPq load()
{
    static LazyLibrary library("libpq.so.5");
    const auto take = [&]<typename Function>(Function*& slot, const char* name) {
        slot = library.function<Function>(name);
        if (!slot)
            throwProviderError(QStringLiteral("The PostgreSQL client library cannot be used: %1").arg(library.error()));
    };
    LibPq pq{};
    take(pq.conninfoParse, "PQconninfoParse");
    take(pq.conninfoFree, "PQconninfoFree");
    take(pq.freemem, "PQfreemem");
    take(pq.errorMessage, "PQerrorMessage");
    take(pq.transactionStatus, "PQtransactionStatus");
    take(pq.exec, "PQexec");
    take(pq.execParams, "PQexecParams");
    take(pq.resultStatus, "PQresultStatus");
    take(pq.resultErrorMessage, "PQresultErrorMessage");
    take(pq.ntuples, "PQntuples");
    take(pq.getvalue, "PQgetvalue");
    take(pq.getlength, "PQgetlength");
    take(pq.getisnull, "PQgetisnull");
    take(pq.clear, "PQclear");
    take(pq.putCopyData, "PQputCopyData");
    take(pq.putCopyEnd, "PQputCopyEnd");
    take(pq.getResult, "PQgetResult");
    return pq;
}

} // namespace

const LibPq& libpq()
{
    static const LibPq functions = load(); // a failed load throws and is tried again on the next call
    return functions;
}

} // namespace q7::data

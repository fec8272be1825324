#include "host/db/procedures/Statement.h"

#include <gtest/gtest.h>

using q7::host::db::procedures::serverDialect;

// The procedures' statements are written once; on the server they must keep
// their meaning: parameters by number, literals untouched, id lists as arrays.
TEST(ServerDialect, StatementsKeepTheirMeaning)
{
    const struct {
        const char* embedded;
        const char* server;
    } cases[] = {
        {"SELECT 1 WHERE a = ?1 AND b > ?2 AND c <= ?2", "SELECT 1 WHERE a = $1 AND b > $2 AND c <= $2"},
        {"SELECT 1 WHERE a >= ? AND b <= ? AND c = ?", "SELECT 1 WHERE a >= $1 AND b <= $2 AND c = $3"},
        {"SELECT 'a?1', '?' FROM t WHERE x = ?1", "SELECT 'a?1', '?' FROM t WHERE x = $1"},
        {"SELECT 'it''s ?' WHERE x = ?", "SELECT 'it''s ?' WHERE x = $1"},
        {"SELECT f.value FROM IDS(?1) f CROSS JOIN bas_part p ON p.PartId = f.value",
         "SELECT f.value FROM unnest($1::int[]) f(value) JOIN bas_part p ON p.PartId = f.value"},
        {"SELECT ?10, ?9", "SELECT $10, $9"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(serverDialect(c.embedded), QByteArray(c.server)) << c.embedded;
}

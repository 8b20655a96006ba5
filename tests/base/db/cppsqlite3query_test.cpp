#include "base/db/cppsqlite3db.h"

#include <gtest/gtest.h>

#include "tests/support/testenvironment.h"

// A step failing on the second row spends the cursor; every later read says so.
TEST(SqliteCursor, AFailingStepSpendsTheCursor) {
    CppSQLite3DB db;
    db.open((pellux_test::MakeTempDir("cur") + "/c.db").c_str());
    auto q = db.execQuery("SELECT abs(x) FROM (SELECT 1 AS x UNION ALL SELECT -9223372036854775807 - 1);");
    EXPECT_THROW(q.nextRow(), CppSQLite3Exception);
    try {
        q.fieldValue(0);
        ADD_FAILURE() << "a spent cursor read a field";
    } catch (const CppSQLite3Exception& e) {
        EXPECT_STREQ(e.errorMessage(), "CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
    }
}

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "base/db/cppsqlite3db.h"
#include "tests/support/testenvironment.h"

namespace {

class SqliteWrapper : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = pellux_test::MakeTempDir("sqlite") + "/w.db";
        db_.open(path_.c_str());
        db_.execDML("CREATE TABLE t (id INTEGER PRIMARY KEY, n INT, s TEXT, r REAL);");
    }

    // The code and message of what the call throws; code -1 when it throws nothing.
    template <class F>
    static std::pair<int, std::string> Thrown(F call) {
        try {
            call();
        } catch (const CppSQLite3Exception& e) {
            return {e.errorCode(), e.errorMessage()};
        }
        return {-1, ""};
    }

    std::string path_;
    CppSQLite3DB db_;
};

TEST_F(SqliteWrapper, NullColumnsGiveTheDefaultAndStoredValuesReadBack) {
    CppSQLite3Query none = db_.execQuery("SELECT * FROM t;");
    EXPECT_TRUE(none.eof());
    EXPECT_EQ(none.numFields(), 4);
    EXPECT_EQ(
        db_.execDML(
            "INSERT INTO t (n, s, r) VALUES (NULL, NULL, NULL); INSERT INTO t (n, s, r) VALUES (0, '', 0);"),
        1);
    CppSQLite3Query q = db_.execQuery("SELECT n, s, r FROM t ORDER BY id;");
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.getIntField(0, 7), 7);
    EXPECT_EQ(q.getIntField("n", 7), 7);
    EXPECT_EQ(q.getInt64Field(0, -9), -9);
    EXPECT_STREQ(q.getStringField("s", "dflt"), "dflt");
    EXPECT_DOUBLE_EQ(q.getFloatField(2, 2.5), 2.5);
    q.nextRow();
    ASSERT_FALSE(q.eof());
    EXPECT_EQ(q.getIntField(0, 7), 0);
    EXPECT_STREQ(q.getStringField(1, "dflt"), "");
    EXPECT_DOUBLE_EQ(q.getFloatField("r", 2.5), 0.0);
    q.nextRow();
    EXPECT_TRUE(q.eof());

    db_.execDML("INSERT INTO t (n, s) VALUES (5000000000, x'00ff10');");
    q = db_.execQuery("SELECT n, s FROM t WHERE n > 0;");
    EXPECT_EQ(q.getInt64Field("n"), 5000000000LL);
    int len = -1;
    const unsigned char* blob = q.getBlobField(1, len);
    ASSERT_EQ(len, 3);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(blob), len), std::string("\x00\xff\x10", 3));
}

TEST_F(SqliteWrapper, ErrorsCarryTheirCodeAndText) {
    EXPECT_EQ(Thrown([&] { db_.execScalar("SELECT n FROM t;"); }),
              std::make_pair(1000, std::string("CPPSQLITE_ERROR[1000]: Invalid scalar query")));
    db_.execDML("INSERT INTO t (n) VALUES (42);");
    EXPECT_EQ(db_.execScalar("SELECT n FROM t;"), 42);
    EXPECT_TRUE(db_.tableExists("t"));
    EXPECT_FALSE(db_.tableExists("missing"));
    EXPECT_FALSE(db_.tableExists("t' OR '1'='1"));

    CppSQLite3Query q = db_.execQuery("SELECT n FROM t;");
    EXPECT_EQ(Thrown([&] { q.fieldValue(1); }).second,
              "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(Thrown([&] { q.fieldDataType(-1); }).second,
              "CPPSQLITE_ERROR[1000]: Invalid field index requested");
    EXPECT_EQ(Thrown([&] { q.getIntField("nope"); }).second,
              "CPPSQLITE_ERROR[1000]: Invalid field name requested");

    CppSQLite3Query empty;
    EXPECT_EQ(Thrown([&] { empty.fieldValue(0); }),
              std::make_pair(1000, std::string("CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer")));

    CppSQLite3DB closed;
    EXPECT_EQ(Thrown([&] { closed.execDML("SELECT 1;"); }).second,
              "CPPSQLITE_ERROR[1000]: Database not open");
    EXPECT_EQ(Thrown([&] { closed.execQuery("SELECT 1;"); }).first, 1000);

    // SQLite's own errors name their code.
    EXPECT_EQ(Thrown([&] { db_.execQuery("SELECT * FROM nowhere;"); }),
              std::make_pair(1, std::string("SQLITE_ERROR[1]: ")));
    EXPECT_EQ(CppSQLite3Exception(100, "x").errorMessage(), std::string("SQLITE_ROW[100]: x"));
    EXPECT_EQ(CppSQLite3Exception(101, nullptr).errorMessage(), std::string("SQLITE_DONE[101]: "));
    EXPECT_EQ(CppSQLite3Exception(26, "x").errorMessage(), std::string("UNKNOWN_ERROR[26]: x"));
}

TEST_F(SqliteWrapper, FailingTextsRunEachStatementOnceAndSeeEveryRow) {
    db_.execDML("CREATE TABLE u (k TEXT UNIQUE);");
    auto thrown = Thrown([&] { db_.execDML("INSERT INTO u VALUES ('a'); INSERT INTO u VALUES ('a');"); });
    EXPECT_EQ(thrown.first, 19);
    EXPECT_EQ(thrown.second.rfind("SQLITE_CONSTRAINT[19]: ", 0), 0u) << thrown.second;
    EXPECT_NE(thrown.second.find("UNIQUE"), std::string::npos) << thrown.second;
    EXPECT_EQ(db_.execScalar("SELECT count(*) FROM u;"), 1);
    // The second row fails (integer overflow); a text run for its changes must see it.
    db_.execDML("INSERT INTO t (n) VALUES (1); INSERT INTO t (n) VALUES (2);");
    EXPECT_EQ(Thrown([&] {
                  db_.execDML("SELECT CASE WHEN n = 2 THEN abs(-9223372036854775807 - 1) ELSE n END FROM t;");
              }).first,
              1);
}

TEST_F(SqliteWrapper, CopyingACursorMovesTheStatement) {
    db_.execDML("INSERT INTO t (n) VALUES (1); INSERT INTO t (n) VALUES (2); INSERT INTO t (n) VALUES (3);");
    CppSQLite3Query first = db_.execQuery("SELECT n FROM t ORDER BY n;");
    CppSQLite3Query copy(first);
    EXPECT_THROW(first.eof(), CppSQLite3Exception);
    EXPECT_EQ(copy.getIntField(0), 1);

    CppSQLite3Query other = db_.execQuery("SELECT n FROM t ORDER BY n DESC;");
    other = copy;  // other's own statement is finalized, copy's moves over
    EXPECT_THROW(copy.nextRow(), CppSQLite3Exception);
    other.nextRow();
    EXPECT_EQ(other.getIntField(0), 2);

    CppSQLite3Query& alias = other;
    other = alias;  // assigning a cursor to itself keeps its statement
    other.nextRow();
    EXPECT_EQ(other.getIntField(0), 3);
    other.nextRow();
    EXPECT_TRUE(other.eof());

    CppSQLite3Query fromEmpty(first);
    EXPECT_THROW(fromEmpty.eof(), CppSQLite3Exception);
    db_.close();  // every statement was finalized exactly once (checked under AddressSanitizer)
}

TEST_F(SqliteWrapper, ClosingWithALiveCursorStillReleasesTheFile) {
    CppSQLite3Query q = db_.execQuery("SELECT * FROM t;");
    db_.close();
    EXPECT_FALSE(db_.isOpen());
    q.finalize();
    CppSQLite3DB again;
    again.open(path_.c_str());
    EXPECT_TRUE(again.tableExists("t"));
}

class SqliteBusy : public SqliteWrapper {
protected:
    void SetUp() override {
        SqliteWrapper::SetUp();
        ASSERT_EQ(sqlite3_open(path_.c_str(), &holder_), SQLITE_OK);
        db_.setBusyRetryLimits(2, 5);
    }
    void TearDown() override { sqlite3_close(holder_); }
    void Hold() {
        ASSERT_EQ(sqlite3_exec(holder_, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    }
    void Release() { ASSERT_EQ(sqlite3_exec(holder_, "COMMIT;", nullptr, nullptr, nullptr), SQLITE_OK); }

    sqlite3* holder_ = nullptr;
};

// A fresh connection must read the schema first, which the lock blocks: a
// busy compile is retried like a busy step.
TEST_F(SqliteBusy, ExclusiveLockGivesBusyAfterTheRetriesAndTheNextCallAfterReleaseSucceeds) {
    CppSQLite3DB fresh;
    fresh.open(path_.c_str());
    fresh.setBusyRetryLimits(2, 5);
    for (CppSQLite3DB* db : {&db_, &fresh}) {
        Hold();
        auto thrown = Thrown([&] { db->execDML("INSERT INTO t (n) VALUES (1);"); });
        EXPECT_EQ(thrown.first, 5);
        EXPECT_EQ(thrown.second.rfind("SQLITE_BUSY[5]:", 0), 0u) << thrown.second;
        EXPECT_EQ(db->lastBusyRetries(), 5);
        EXPECT_EQ(Thrown([&] { db->execQuery("SELECT * FROM t;"); }).first, 5);
        EXPECT_EQ(db->lastBusyRetries(), 5);
        Release();
        EXPECT_EQ(db->execDML("INSERT INTO t (n) VALUES (1);"), 1);
    }
    EXPECT_EQ(db_.execScalar("SELECT count(*) FROM t;"), 2);
}

}  // namespace

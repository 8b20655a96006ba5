#include <gtest/gtest.h>
#include <sqlite3.h>

#include <climits>
#include <string>

#include "base/db/db.h"
#include "base/db/dbconfigstore.h"
#include "base/db/sqltext.h"
#include "tests/base/basetestutil.h"
#include "tests/support/testenvironment.h"

namespace {

class Database : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = pellux_test::MakeTempDir("db");
        path_ = dir_ + "/norle.db";
        db_ = GetDatabase();
        db_->SetRetryPauseMs(1);
        ASSERT_EQ(db_->Init(Utf8ToWide(path_)), S_OK);
        store_ = GetDbConfigStore();
        ASSERT_EQ(store_->Open(db_, L"config"), S_OK);
    }
    void TearDown() override { CloseUserDatabase(); }

    int Count(const std::wstring& sql) {
        CDBQueryHelper rows;
        EXPECT_EQ(db_->execQuery(rows, sql.c_str()), S_OK);
        return rows.getIntField(0, -1);
    }

    std::string dir_;
    std::string path_;
    CDB* db_ = nullptr;
    DbConfigStore* store_ = nullptr;
};

// Each text overwrites the one before: one row, the last value.
TEST_F(Database, ConfigTextsWithQuotesAndCjkRoundTrip) {
    const std::wstring texts[] = {L"O'Brien's \"file\"", L"''", L"报告'书", L"a\\b%_",
                                  std::wstring(3000, L'x')};
    for (const auto& text : texts) {
        ASSERT_EQ(store_->SetString(L"节'", L"字段'", text), S_OK);
        std::wstring out;
        EXPECT_EQ(store_->GetString(out, L"节'", L"字段'", L"none"), S_OK);
        EXPECT_EQ(out, text);
    }
    EXPECT_EQ(Count(L"SELECT count(*) FROM config"), 1);
    ASSERT_EQ(store_->SetInt64(L"LocalStorage", L"Other", 5000000000LL), S_OK);
    std::wstring out;
    store_->GetString(out, L"LocalStorage", L"Other", L"");
    EXPECT_EQ(out, L"5000000000");
}

TEST_F(Database, GetIntReadsLeadingDigitsAndSaturates) {
    EXPECT_EQ(store_->GetInt(L"S", L"missing", -1), -1);
    struct Case {
        const wchar_t* text;
        int expected;
    } cases[] = {{L"42", 42},
                 {L"-5", -5},
                 {L"abc", 0},
                 {L"12abc", 12},
                 {L" +7", 7},
                 {L"2147483647", INT_MAX},
                 {L"2147483648", INT_MAX},
                 {L"99999999999999999999999", INT_MAX},
                 {L"-2147483648", INT_MIN},
                 {L"-99999999999999999999", INT_MIN}};
    for (const Case& c : cases) {
        ASSERT_EQ(store_->SetString(L"S", L"F", c.text), S_OK);
        EXPECT_EQ(store_->GetInt(L"S", L"F", -1), c.expected) << WideToUtf8(c.text);
    }
    ASSERT_EQ(store_->SetString(L"S", L"F", L""), S_OK);
    EXPECT_EQ(store_->GetInt(L"S", L"F", 9), 9);
    ASSERT_EQ(store_->SetInt(L"S", L"F", -123), S_OK);
    EXPECT_EQ(store_->GetInt(L"S", L"F", 9), -123);
}

TEST_F(Database, FailedSelectDoesNotAddASecondRow) {
    // A config "table" whose reads fail while inserts still work.
    CloseUserDatabase();
    std::string other = dir_ + "/view.db";
    ASSERT_EQ(db_->Init(Utf8ToWide(other)), S_OK);
    ASSERT_EQ(db_->execDML(L"CREATE TABLE raw (section TEXT, field TEXT, value TEXT);"
                           L"CREATE VIEW config AS SELECT section, field, json(value) AS value FROM raw;"
                           L"CREATE TRIGGER ins INSTEAD OF INSERT ON config BEGIN "
                           L"INSERT INTO raw VALUES (new.section, new.field, new.value); END;"
                           L"INSERT INTO raw VALUES ('S', 'F', 'not json');"),
              S_OK);
    store_->Open(db_, L"config");  // creating the table fails: a view has the name
    EXPECT_EQ(store_->SetString(L"S", L"F", L"new"), E_FAIL);
    EXPECT_EQ(Count(L"SELECT count(*) FROM raw"), 1);
    std::wstring out;
    EXPECT_EQ(store_->GetString(out, L"S", L"F", L"dflt"), E_FAIL);
    EXPECT_EQ(out, L"dflt");
}

TEST_F(Database, AddColumnOnAnExistingColumnReturnsOneAndRunsNothing) {
    ASSERT_EQ(db_->CreateTable(L"files", L"id INTEGER PRIMARY KEY, sharers TEXT"), S_OK);
    const int schemaBefore = Count(L"PRAGMA schema_version");
    EXPECT_TRUE(db_->HasColumn(L"files", L"sharers"));
    EXPECT_FALSE(db_->HasColumn(L"files", L"Sharers"));
    EXPECT_EQ(db_->AddColumn(L"files", L"sharers", L"TEXT", L"''"), S_FALSE);
    EXPECT_EQ(Count(L"PRAGMA schema_version"), schemaBefore);

    ASSERT_EQ(db_->Insert(L"files", L"id", L"1"), S_OK);
    EXPECT_EQ(db_->AddColumn(L"files", L"extra", L"TEXT", L"'d'"), S_OK);
    EXPECT_TRUE(db_->HasColumn(L"files", L"extra"));
    CDBQueryHelper row;
    ASSERT_EQ(db_->SelectOne(row, L"files", L"id = 1"), S_OK);
    std::wstring extra;
    EXPECT_EQ(row.getStringField(extra, "extra"), L"d");
    EXPECT_FALSE(db_->HasColumn(L"nosuchtable", L"id"));
}

TEST_F(Database, BuildersRunTheirStatementsAndDeleteWithoutConditionEmpties) {
    ASSERT_EQ(db_->CreateTable(L"t", L"k TEXT, n INT"), S_OK);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(db_->Insert(L"t", L"k, n", FormatSql(L"'%s', %d", L"k'" + std::to_wstring(i), i)), S_OK);
    ASSERT_EQ(db_->Update(L"t", L"n = 10", FormatSql(L"k = '%s'", L"k'1")), S_OK);
    CDBQueryHelper rows;
    ASSERT_EQ(db_->Select(rows, L"t", L"n >= 0", L"ORDER BY n"), S_OK);
    std::wstring keys;
    for (; !rows.eof(); rows.nextRow()) {
        std::wstring k;
        keys += rows.getStringField(k, "k") + L"=" + std::to_wstring(rows.getIntField("n", -1)) + L";";
    }
    EXPECT_EQ(keys, L"k'0=0;k'2=2;k'1=10;");
    ASSERT_EQ(db_->Delete(L"t", L"n = 2"), S_OK);
    EXPECT_EQ(Count(L"SELECT count(*) FROM t"), 2);
    ASSERT_EQ(db_->Delete(L"t", nullptr), S_OK);
    EXPECT_EQ(Count(L"SELECT count(*) FROM t"), 0);

    // Long statements are not cut.
    const std::wstring value(5000, L'z');
    ASSERT_EQ(db_->Insert(L"t", L"k", FormatSql(L"'%s'", value)), S_OK);
    CDBQueryHelper row;
    ASSERT_EQ(db_->SelectOne(row, L"t", FormatSql(L"k = '%s'", value)), S_OK);
    ASSERT_FALSE(row.eof());
    std::wstring out;
    EXPECT_EQ(row.getStringField(out, 0).size(), 5000u);
}

TEST_F(Database, LikePatternsMatchPercentAndUnderscoreLiterally) {
    ASSERT_EQ(db_->CreateTable(L"files", L"localname TEXT"), S_OK);
    for (const wchar_t* name : {L"100%.txt", L"1000.txt", L"a_b", L"axb", L"it's", L"back\\slash"})
        ASSERT_EQ(db_->Insert(L"files", L"localname", FormatSql(L"'%s'", name)), S_OK);
    auto matches = [&](const std::wstring& search) {
        CDBQueryHelper rows;
        EXPECT_EQ(db_->Select(rows, L"files",
                              FormatSql(L"localname LIKE '%%%s%%' " SQL_LIKE_ESCAPE, SqlLike{search}),
                              L"ORDER BY localname"),
                  S_OK);
        std::wstring found;
        for (; !rows.eof(); rows.nextRow()) {
            std::wstring n;
            found += rows.getStringField(n, 0) + L"|";
        }
        return found;
    };
    EXPECT_EQ(matches(L"0%"), L"100%.txt|");
    EXPECT_EQ(matches(L"_"), L"a_b|");
    EXPECT_EQ(matches(L"'"), L"it's|");
    EXPECT_EQ(matches(L"\\"), L"back\\slash|");
    EXPECT_EQ(matches(L"XB"), L"axb|");
}

TEST_F(Database, FormatSqlEscapesTextArgumentsOnly) {
    EXPECT_EQ(FormatSql(L"a = '%s' AND b = %d AND c = '%s' AND %s", L"x'y", 5, std::string("z'"),
                        SqlVerbatim{L"d = 'v'"}),
              L"a = 'x''y' AND b = 5 AND c = 'z''' AND d = 'v'");
}

TEST_F(Database, FailedTransactionIsRolledBackAsAWhole) {
    ASSERT_EQ(db_->CreateTable(L"u", L"k TEXT UNIQUE"), S_OK);
    EXPECT_EQ(db_->execDML(L"INSERT INTO u VALUES ('a'); INSERT INTO u VALUES ('a');", true), E_FAIL);
    EXPECT_EQ(Count(L"SELECT count(*) FROM u"), 0);
    // No transaction was left open: these commit on their own.
    EXPECT_EQ(db_->execDML(L"INSERT INTO u VALUES ('b');", true), S_OK);
    EXPECT_EQ(db_->execDML(L"INSERT INTO u VALUES ('c');"), S_OK);
    EXPECT_EQ(db_->BeginTransaction(), S_OK);
    EXPECT_EQ(db_->execDML(L"INSERT INTO u VALUES ('d');"), S_OK);
    EXPECT_EQ(db_->CommitTransaction(), S_OK);
    EXPECT_EQ(Count(L"SELECT count(*) FROM u"), 3);
    EXPECT_EQ(db_->execDML(nullptr), S_OK);
}

TEST_F(Database, FailedQueryReadsAsEndAndDefaults) {
    CDBQueryHelper rows;
    ASSERT_EQ(db_->execQuery(rows, L"SELECT 1"), S_OK);
    EXPECT_FALSE(rows.eof());
    EXPECT_EQ(db_->execQuery(rows, L"SELECT * FROM nowhere"), E_FAIL);
    EXPECT_TRUE(rows.eof());
    EXPECT_EQ(rows.nextRow(), E_FAIL);
    EXPECT_EQ(rows.getIntField(0, 7), 7);
    EXPECT_EQ(rows.getInt64Field("x", -3), -3);
    std::wstring text;
    EXPECT_EQ(rows.getStringField(text, "x", L"dflt"), L"dflt");
    int len = 5;
    EXPECT_EQ(rows.getBlobField(0, len), nullptr);
    EXPECT_EQ(len, 0);
    EXPECT_DOUBLE_EQ(rows.getFloatField(0, 1.5), 1.5);
}

TEST_F(Database, AfterCloseEveryCallFailsAndInitWorksAgain) {
    ASSERT_EQ(store_->SetString(L"S", L"F", L"kept"), S_OK);
    CloseUserDatabase();
    std::wstring out;
    EXPECT_EQ(store_->SetString(L"S", L"F", L"x"), E_FAIL);
    EXPECT_EQ(store_->GetString(out, L"S", L"F", L"d"), E_FAIL);
    EXPECT_EQ(out, L"d");
    EXPECT_EQ(store_->GetInt(L"S", L"F", 3), 3);
    EXPECT_EQ(store_->EnsureTable(), E_FAIL);
    store_->Open(db_, L"config");
    EXPECT_EQ(store_->SetString(L"S", L"F", L"x"), E_FAIL);  // the connection is closed too
    EXPECT_EQ(db_->execDML(L"SELECT 1"), E_FAIL);
    EXPECT_EQ(db_->Insert(L"config", L"section", L"'a'"), E_FAIL);
    CDBQueryHelper rows;
    EXPECT_EQ(db_->execQuery(rows, L"SELECT 1"), E_FAIL);
    BOOL exists = 1;
    EXPECT_EQ(db_->tableExists(L"config", exists), E_FAIL);
    EXPECT_EQ(db_->UnInit(), S_OK);

    ASSERT_EQ(db_->Init(Utf8ToWide(path_)), S_OK);
    ASSERT_EQ(store_->Open(db_, L"config"), S_OK);
    EXPECT_EQ(store_->GetString(out, L"S", L"F", L"d"), S_OK);
    EXPECT_EQ(out, L"kept");
}

TEST_F(Database, InitOnAnOpenConnectionClosesItFirst) {
    ASSERT_EQ(store_->SetString(L"S", L"F", L"first"), S_OK);
    EXPECT_EQ(OpenHandles(path_), 1);
    const std::string second = dir_ + "/second.db";
    ASSERT_EQ(db_->Init(Utf8ToWide(second)), S_OK);
    EXPECT_EQ(OpenHandles(path_), 0);
    ASSERT_EQ(store_->Open(db_, L"config"), S_OK);
    std::wstring out;
    store_->GetString(out, L"S", L"F", L"none");
    EXPECT_EQ(out, L"none");
    EXPECT_EQ(db_->Init(Utf8ToWide(dir_ + "/missing/dir/x.db")), E_FAIL);
}

TEST_F(Database, BusyChangeFailsAfterItsRetriesAndSucceedsOnceReleased) {
    db_->setBusyRetryLimits(1, 3);
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "BEGIN EXCLUSIVE;", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_EQ(store_->SetString(L"S", L"F", L"v"), E_FAIL);
    ASSERT_EQ(sqlite3_exec(holder, "COMMIT;", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(holder);
    EXPECT_EQ(store_->SetString(L"S", L"F", L"v"), S_OK);
    db_->setBusyRetryLimits(CppSQLite3DB::kDefaultBusyHandlerCalls, CppSQLite3DB::kDefaultBusyRetries);
}

}  // namespace

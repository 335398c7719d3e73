// SolvikaData over SQLite (types 6 and 7), called as an outside caller would.
#include <gtest/gtest.h>
#include <windows.h>

#include "data_support.h"
#include "wide.h"
#include "win_handles.h"

namespace {

// Windows-1251 letters used below.
const std::string kYo = "\xB8", kYoCap = "\xA8";        // ё Ё
const std::string kZhe = "\xE6", kZheCap = "\xC6";      // ж Ж
const std::string kIK = "\xE8\xEA", kIKCap = "\xC8\xCA";  // ик ИК
const std::string kYe = "\xE5";                           // е

// A fresh empty database file in a scratch folder.
struct DbFile {
  ScratchDir dir{"data"};
  std::string path;
  explicit DbFile(const std::string& name = "test.db") : path(dir / name) { WriteFileBytes(path, ""); }
};

}  // namespace

TEST(DataSqlite, ModuleVersionAndTypes) {
  HMODULE m = GetModuleHandleA("SolvikaData.dll");
  ASSERT_NE(nullptr, m);
  auto version = (int32_t(WINAPI*)())GetProcAddress(m, "GetModuleVersion");
  ASSERT_NE(nullptr, version);
  EXPECT_EQ(11, version());

  EXPECT_EQ(nullptr, SVDataCreate(8));
  EXPECT_EQ(nullptr, SVDataCreate(0xFFFFFFFFu));
  SvDataHandle h = SVDataCreate(SVDATA_SQLITE_RU);
  ASSERT_NE(nullptr, h);
  SVDataFree(&h);
  EXPECT_EQ(nullptr, h);
}

TEST(DataSqlite, MissingHandleDoesNothing) {
  SvDataHandle none = nullptr;
  TSVDataConnectParams p = ParamsFor("x.db");
  EXPECT_FALSE(SVDataConnect(&none, &p));
  EXPECT_FALSE(SVDataConnect(nullptr, &p));
  EXPECT_FALSE(SVDataExec(&none, "select 1"));
  EXPECT_FALSE(SVDataExecDuo(&none, "select 1", "select 2"));
  EXPECT_FALSE(SVDataOpenQuery(&none, "select 1"));
  EXPECT_FALSE(SVDataNextRow(&none));
  EXPECT_FALSE(SVDataNextField(&none));
  EXPECT_EQ(0, SVDataGetRowCount(&none));
  EXPECT_EQ(0, SVDataAffectedRow(&none));
  SvStr out = sv::StrFromC("old");
  SVDataGetValue(&out, &none);
  EXPECT_EQ(nullptr, out);
  EXPECT_EQ("", sv::TakeOut([&](SvStr* o) { SVDataError(o, &none); }));
  EXPECT_EQ("", sv::TakeOut([&](SvStr* o) { SVDataEscapeString(o, &none, "a'b"); }));
  SVDataCloseQuery(&none);
  SVDataDisconnect(&none);
  SVDataFree(&none);
  SVDataFree(nullptr);
}

TEST(DataSqlite, MissingFileIsNotCreated) {
  ScratchDir dir("data");
  for (uint32_t type : {6u, 7u}) {
    Db db(type);
    std::string path = dir / "absent.db";
    EXPECT_FALSE(db.Connect(path));
    EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesW(sv::Wide(path).c_str()));
    EXPECT_FALSE(db.Exec("create table t(a)"));
  }
  Db db(SVDATA_SQLITE);
  TSVDataConnectParams none = {};  // size 0: nothing is read, not even the file
  EXPECT_FALSE(SVDataConnect(&db, &none));
  EXPECT_FALSE(SVDataConnect(&db, nullptr));
}

TEST(DataSqlite, ShortParameterRecordReadsOnlyTheFile) {
  DbFile f;
  // Fields past the given size hold junk that must not be touched.
  TSVDataConnectParams p;
  memset(&p, 0xEE, sizeof p);
  p.size = 8;
  p.file = f.path.c_str();
  Db db(SVDATA_SQLITE);
  EXPECT_TRUE(SVDataConnect(&db, &p));
  EXPECT_TRUE(db.Exec("create table t(a)"));
}

TEST(DataSqlite, ConnectClearsReadOnlyAndOpensCyrillicNames) {
  ScratchDir dir("data");
  // "Данные\База.db"
  std::string folder = dir / "\xC4\xE0\xED\xED\xFB\xE5\\";
  ASSERT_TRUE(CreateDirectoryW(sv::Wide(folder).c_str(), nullptr));
  std::string path = folder + "\xC1\xE0\xE7\xE0.db";
  ASSERT_TRUE(WriteFileBytes(path, ""));
  SetFileAttributesW(sv::Wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
  {
    Db db(SVDATA_SQLITE_RU);
    ASSERT_TRUE(db.Connect(path)) << db.Error();
    EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, GetFileAttributesW(sv::Wide(path).c_str()));
    ASSERT_TRUE(db.Exec("create table t(a); insert into t values('" + kYoCap + kZhe + "')"));
  }
  EXPECT_EQ("SQLite format 3", ReadFileBytes(path).substr(0, 15));
  Db again(SVDATA_SQLITE);
  ASSERT_TRUE(again.Connect(path));
  EXPECT_EQ(kYoCap + kZhe, again.One("select a from t"));
}

TEST(DataSqlite, TextIsStoredAsWindows1251Bytes) {
  DbFile f;
  Db db(SVDATA_SQLITE);
  ASSERT_TRUE(db.Connect(f.path));
  // A new database gets UTF-8 storage, so the bytes are kept unchanged.
  EXPECT_EQ("UTF-8", db.One("pragma encoding"));
  ASSERT_TRUE(db.Exec("create table t(a text)"));
  ASSERT_TRUE(db.Exec("insert into t values('" + kYoCap + kZhe + kIK + "')"));
  EXPECT_EQ("A8E6E8EA", db.One("select hex(a) from t"));
  EXPECT_EQ(kYoCap + kZhe + kIK, db.One("select a from t"));
  EXPECT_EQ("4", db.One("select length(cast(a as blob)) from t"));
}

TEST(DataSqlite, RowsFieldsAndNulls) {
  DbFile f;
  Db db(SVDATA_SQLITE);
  ASSERT_TRUE(db.Connect(f.path));
  ASSERT_TRUE(db.Exec("create table t(a, b, c); insert into t values('x', null, 3); insert into t values('', 'y', 4.5)"));
  ASSERT_TRUE(SVDataOpenQuery(&db, "select a, b, c from t order by c"));
  EXPECT_EQ(0, SVDataGetRowCount(&db));
  ASSERT_TRUE(SVDataNextRow(&db));
  int fields = 0;
  std::vector<std::string> values;
  while (SVDataNextField(&db)) {
    ++fields;
    SvStr v = nullptr;
    SVDataGetValue(&v, &db);
    if (values.size() == 1) {
      EXPECT_EQ(nullptr, v);  // NULL comes out as the empty (null) string
    }
    values.push_back(sv::Take(v));
  }
  EXPECT_EQ(3, fields);
  EXPECT_EQ((std::vector<std::string>{"x", "", "3"}), values);
  EXPECT_FALSE(SVDataNextField(&db));
  ASSERT_TRUE(SVDataNextRow(&db));
  ASSERT_TRUE(SVDataNextField(&db));
  EXPECT_EQ("", db.Value());
  ASSERT_TRUE(SVDataNextField(&db));
  EXPECT_EQ("y", db.Value());
  ASSERT_TRUE(SVDataNextField(&db));
  EXPECT_EQ("4.5", db.Value());
  EXPECT_FALSE(SVDataNextRow(&db));
  // An ended query stays ended instead of starting again from the top.
  EXPECT_FALSE(SVDataNextRow(&db));
  EXPECT_FALSE(SVDataNextField(&db));
  EXPECT_EQ("", db.Value());
  SVDataCloseQuery(&db);
  EXPECT_FALSE(SVDataNextRow(&db));
  EXPECT_EQ(0, SVDataAffectedRow(&db));

  // A query without rows; opening a new query replaces the old one.
  EXPECT_EQ(std::vector<std::string>{}, db.Rows("select * from t where 0"));
  ASSERT_TRUE(SVDataOpenQuery(&db, "select 1"));
  ASSERT_TRUE(SVDataOpenQuery(&db, "select 2"));
  ASSERT_TRUE(SVDataNextRow(&db));
  ASSERT_TRUE(SVDataNextField(&db));
  EXPECT_EQ("2", db.Value());
}

TEST(DataSqlite, FailedStatementsLeaveSqlitesErrorText) {
  DbFile f;
  Db db(SVDATA_SQLITE);
  ASSERT_TRUE(db.Connect(f.path));
  EXPECT_EQ("", db.Error());
  EXPECT_FALSE(db.Exec("selec 1"));
  EXPECT_NE(std::string::npos, db.Error().find("syntax error")) << db.Error();
  EXPECT_TRUE(db.Exec("create table t(a primary key)"));
  EXPECT_EQ("", db.Error());
  EXPECT_FALSE(SVDataOpenQuery(&db, "select * from nope"));
  EXPECT_EQ("no such table: nope", db.Error());
  EXPECT_FALSE(SVDataNextRow(&db));
  EXPECT_TRUE(db.Exec("insert into t values(1)"));
  EXPECT_FALSE(db.Exec("insert into t values(1)"));
  EXPECT_NE(std::string::npos, db.Error().find("UNIQUE constraint failed")) << db.Error();

  // A text that is not a database: the failure shows at the first statement.
  ScratchDir dir("data");
  std::string junk = dir / "junk.db";
  WriteFileBytes(junk, std::string(4096, 'x'));
  Db bad(SVDATA_SQLITE);
  ASSERT_TRUE(bad.Connect(junk));
  EXPECT_FALSE(bad.Exec("select * from sqlite_master"));
  EXPECT_EQ("file is not a database", bad.Error());
}

TEST(DataSqlite, ExecDuoRunsTheSecondOnlyWhenTheFirstFails) {
  DbFile f;
  Db db(SVDATA_SQLITE);
  ASSERT_TRUE(db.Connect(f.path));
  ASSERT_TRUE(db.Exec("create table t(k primary key, v)"));
  // First succeeds: the second is not run.
  EXPECT_TRUE(SVDataExecDuo(&db, "insert into t values(1, 'a')", "insert into t values(2, 'b')"));
  EXPECT_EQ("1|a", db.One("select * from t"));
  // First fails: the second runs, and its success clears the error text.
  EXPECT_TRUE(SVDataExecDuo(&db, "insert into t values(1, 'c')", "update t set v = 'c' where k = 1"));
  EXPECT_EQ("", db.Error());
  EXPECT_EQ("1|c", db.One("select * from t"));
  // Both fail: the second's error is what remains.
  EXPECT_FALSE(SVDataExecDuo(&db, "insert into t values(1, 'd')", "insert into nope values(1)"));
  EXPECT_EQ("no such table: nope", db.Error());
}

TEST(DataSqlite, EscapeStringForBothKinds) {
  Db lite(SVDATA_SQLITE), jet(SVDATA_JET);
  auto esc = [](Db& db, const char* text) {
    return sv::TakeOut([&](SvStr* o) { SVDataEscapeString(o, &db, text); });
  };
  EXPECT_EQ("O''Brien", esc(lite, "O'Brien"));
  EXPECT_EQ("O''Brien", esc(jet, "O'Brien"));
  EXPECT_EQ("a\r\nb''''", esc(lite, "a\r\nb''"));
  EXPECT_EQ("a \nb''''", esc(jet, "a\r\nb''"));
  EXPECT_EQ("", esc(lite, ""));
  EXPECT_EQ("", esc(lite, nullptr));

  // What the escape makes is read back unchanged through a literal.
  DbFile f;
  ASSERT_TRUE(lite.Connect(f.path));
  std::string text = "'; drop table t; --'" + kYoCap;
  ASSERT_TRUE(lite.Exec("create table t(a)"));
  ASSERT_TRUE(lite.Exec("insert into t values('" + esc(lite, text.c_str()) + "')"));
  EXPECT_EQ(text, lite.One("select a from t"));
}

TEST(DataSqlite, RussianFunctionsOfType7) {
  DbFile f;
  Db db(SVDATA_SQLITE_RU);
  ASSERT_TRUE(db.Connect(f.path));
  EXPECT_EQ(kYoCap + kZheCap, db.One("select upper('" + kYo + kZhe + "')"));
  EXPECT_EQ(kYo + kZhe + "abc", db.One("select lower('" + kYoCap + kZheCap + "ABC')"));
  EXPECT_EQ("", db.One("select upper(null)"));
  EXPECT_EQ("null", db.One("select typeof(lower(null))"));

  std::string hedgehog = kYoCap + kZheCap + kIKCap;  // ЁЖИК
  EXPECT_EQ("1", db.One("select '" + hedgehog + "' like '" + kYo + kZhe + "%'"));
  EXPECT_EQ("0", db.One("select '" + kYe + kZhe + kIK + "' like '" + kYo + kZhe + "%'"));  // е is not ё
  EXPECT_EQ("1", db.One("select '" + kYo + kZhe + "' like '_" + kZheCap + "'"));  // "_" is one letter
  EXPECT_EQ("0", db.One("select '" + kYo + kZhe + "' like '_'"));
  EXPECT_EQ("1", db.One("select '" + hedgehog + "' like '%" + kIK + "'"));
  EXPECT_EQ("1", db.One("select '' like '%'"));
  EXPECT_EQ("0", db.One("select null like 'a'"));

  // The three-argument form honours its escape character.
  EXPECT_EQ("1", db.One("select '5% off' like '5!%%' escape '!'"));
  EXPECT_EQ("0", db.One("select '50 off' like '5!%%' escape '!'"));
  EXPECT_EQ("1", db.One("select '50 off' like '5%%' escape '!'"));
  EXPECT_EQ("0", db.One("select '' like '%%' escape '%'"));
  EXPECT_EQ("1", db.One("select '%' like '%%' escape '%'"));
  EXPECT_EQ("0", db.One("select 'a' like 'a!' escape '!'"));
  EXPECT_EQ("<0 rows>", db.One("select 'a' like 'a' escape 'xy'"));
  EXPECT_NE(std::string::npos, db.Error().find("ESCAPE expression must be a single character")) << db.Error();

  // The functions serve queries over stored text.
  ASSERT_TRUE(db.Exec("create table t(name); insert into t values('" + hedgehog + "'); insert into t values('" +
                      kYe + kZhe + "')"));
  EXPECT_EQ(hedgehog, db.One("select name from t where name like '" + kYo + "%'"));
  EXPECT_EQ(kYe + kZhe, db.One("select name from t where name not like '" + kYo + "%'"));

  // Type 6 keeps SQLite's own functions, which know only Latin letters.
  Db plain(SVDATA_SQLITE);
  ASSERT_TRUE(plain.Connect(f.path));
  EXPECT_EQ(kYo + kZhe + "ABC", plain.One("select upper('" + kYo + kZhe + "abc')"));
}

// A database locked by a second connection: statements wait and try again
// until the lock is released within the retry time.
namespace {

struct ReleaseLater {
  SvDataHandle* holder;
  DWORD delayMs;
};

DWORD WINAPI CommitLater(LPVOID arg) {
  ReleaseLater* r = (ReleaseLater*)arg;
  Sleep(r->delayMs);
  SVDataExec(r->holder, "commit");
  return 0;
}

class BusyDatabase : public ::testing::Test {
 protected:
  DbFile f;
  Db holder{6}, waiter{6};
  ReleaseLater release{nullptr, 1500};
  sv::Thread thread;

  void SetUp() override {
    ASSERT_TRUE(holder.Connect(f.path));
    ASSERT_TRUE(waiter.Connect(f.path));
    ASSERT_TRUE(holder.Exec("create table t(a)"));
    ASSERT_TRUE(waiter.Exec("create temp table log(a)"));
    EXPECT_EQ("0", waiter.One("select count(*) from t"));  // the waiter knows the schema
  }
  void LockAndReleaseLater() {
    ASSERT_TRUE(holder.Exec("begin exclusive; insert into t values('held')"));
    release.holder = &holder;
    thread = sv::Thread::Start(CommitLater, &release);
  }
  void TearDown() override {
    if (thread) thread.Wait(INFINITE);
  }
};

}  // namespace

TEST_F(BusyDatabase, WriterWaitsAndDoesNotRepeatFinishedStatements) {
  LockAndReleaseLater();
  DWORD start = GetTickCount();
  Db late(SVDATA_SQLITE_RU);  // connecting does not touch the locked file
  EXPECT_TRUE(late.Connect(f.path)) << late.Error();
  EXPECT_LT(GetTickCount() - start, 500u);
  // The first statement touches only the waiter's own temporary table and
  // succeeds at once; the second meets the lock and is retried on its own.
  EXPECT_TRUE(waiter.Exec("insert into log values(1); insert into t values('waited')")) << waiter.Error();
  DWORD took = GetTickCount() - start;
  EXPECT_GE(took, 900u);
  EXPECT_LT(took, 8000u);
  EXPECT_EQ("", waiter.Error());
  EXPECT_EQ("1", waiter.One("select count(*) from log"));
  EXPECT_EQ("held|waited", waiter.One("select group_concat(a, '|') from t"));
}

TEST_F(BusyDatabase, ReaderWaitsForItsFirstRow) {
  LockAndReleaseLater();
  ASSERT_TRUE(SVDataOpenQuery(&waiter, "select a from t"));
  DWORD start = GetTickCount();
  ASSERT_TRUE(SVDataNextRow(&waiter)) << waiter.Error();
  EXPECT_GE(GetTickCount() - start, 900u);
  ASSERT_TRUE(SVDataNextField(&waiter));
  EXPECT_EQ("held", waiter.Value());
}

TEST(DataSqlite, FreeWithoutDisconnectReleasesTheDatabase) {
  DbFile f;
  SvDataHandle h = SVDataCreate(SVDATA_SQLITE);
  TSVDataConnectParams p = ParamsFor(f.path);
  ASSERT_TRUE(SVDataConnect(&h, &p));
  ASSERT_TRUE(SVDataExec(&h, "create table t(a); begin exclusive; insert into t values(1)"));
  ASSERT_TRUE(SVDataOpenQuery(&h, "select a from t"));
  SVDataFree(&h);  // the open transaction is rolled back and the lock released
  Db other(SVDATA_SQLITE);
  ASSERT_TRUE(other.Connect(f.path));
  DWORD start = GetTickCount();
  EXPECT_TRUE(other.Exec("insert into t values(2)"));
  EXPECT_LT(GetTickCount() - start, 900u);
  EXPECT_EQ("2", other.One("select group_concat(a) from t"));
}

TEST(DataSqlite, ReconnectAndCompactRefusal) {
  DbFile one, two;
  Db db(SVDATA_SQLITE);
  ASSERT_TRUE(db.Connect(one.path));
  ASSERT_TRUE(db.Exec("create table first(a)"));
  ASSERT_TRUE(db.Connect(two.path));  // the first connection is closed
  EXPECT_EQ("0", db.One("select count(*) from sqlite_master"));
  SVDataDisconnect(&db);
  EXPECT_FALSE(db.Exec("select 1"));
  ASSERT_TRUE(db.Connect(one.path));
  EXPECT_EQ("first", db.One("select name from sqlite_master"));
  SVDataDisconnect(&db);

  std::string before = ReadFileBytes(one.path);
  TSVDataConnectParams p = ParamsFor(one.path);
  EXPECT_FALSE(SVDataCompact(&p, SVDATA_SQLITE));
  EXPECT_FALSE(SVDataCompact(&p, SVDATA_SQLITE_RU));
  EXPECT_EQ(before, ReadFileBytes(one.path));
  EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesW(sv::Wide(one.path + ".~tmp").c_str()));
}

// One variable kept across fields, as a reading loop does: its string is
// filled in place only when nothing else holds it and it has room, so a
// value kept elsewhere stays as it was and every value reads back whole.
TEST(DataSqlite, ValueIntoTheSameVariable) {
  DbFile f;
  Db db(SVDATA_SQLITE);
  ASSERT_TRUE(db.Connect(f.path));
  ASSERT_TRUE(db.Exec("create table t(a, b, c, d, e); "
                      "insert into t values('a longer value', 'short', 'tiny', null, 'longer than any before it')"));
  ASSERT_TRUE(SVDataOpenQuery(&db, "select a, b, c, d, e from t"));
  ASSERT_TRUE(SVDataNextRow(&db));
  SvStr v = nullptr;
  std::vector<std::string> seen;
  SvStr kept = nullptr;
  while (SVDataNextField(&db)) {
    SVDataGetValue(&v, &db);
    seen.push_back(v ? std::string(v, sv::Length(v)) : "(null)");
    if (!kept && v) {
      kept = v;
      sv::AddRef(kept);  // a second holder of the first value
    }
  }
  EXPECT_EQ((std::vector<std::string>{"a longer value", "short", "tiny", "(null)", "longer than any before it"}), seen);
  EXPECT_EQ("a longer value", std::string(kept, sv::Length(kept)));
  EXPECT_EQ('\0', v[sv::Length(v)]);
  sv::Release(kept);
  sv::Release(v);
}

// The ADO types where the platform has no Jet provider (as under Wine): every
// call fails cleanly with the collected error text, and the ODBC driver
// registration writes only what is missing.
#include <gtest/gtest.h>
#include <windows.h>

#include "SolvikaUtils.h"
#include "data_support.h"

namespace {

const uint32_t kLocalMachine = 0x80000002;
const char kDriverKey[] = "SOFTWARE\\ODBC\\ODBCINST.INI\\Microsoft Access Driver (*.mdb)";

std::string RegText(const char* key, const char* name) {
  return sv::TakeOut([&](SvStr* o) { GetRegistryString(o, kLocalMachine, key, name, "--none--"); });
}

bool HasJet() {
  CLSID clsid;
  return SUCCEEDED(CLSIDFromProgID(L"Microsoft.Jet.OLEDB.4.0", &clsid));
}

}  // namespace

TEST(DataAdo, ConnectWithoutJetFailsWithEveryAttemptsText) {
  if (HasJet()) GTEST_SKIP() << "a Jet provider is installed here";
  ScratchDir dir("ado");
  std::string file = dir / "base.mdb";
  ASSERT_TRUE(WriteFileBytes(file, "not really a database"));

  // A value that exists already is left as it is by the registration.
  SetRegistryString(kLocalMachine, kDriverKey, "APILevel", "9");

  for (uint32_t type : {0u, 1u, 2u, 3u}) {
    Db db(type);
    TSVDataConnectParams p = ParamsFor(file);
    p.access = 2;
    p.share = 1;
    EXPECT_FALSE(SVDataConnect(&db, &p));
    std::string err = db.Error();
    EXPECT_EQ(0u, err.find("Jet 4.0: ")) << err;
    EXPECT_NE(std::string::npos, err.find("\rJet 3.51: ")) << err;
    EXPECT_NE(std::string::npos, err.find("\rJet 3.5: ")) << err;
    EXPECT_NE(std::string::npos, err.find("\rMSDASQL: ")) << err;
    EXPECT_EQ(std::string::npos, err.find('\n')) << err;

    // Nothing is connected: statements and queries fail, nothing crashes.
    EXPECT_FALSE(db.Exec("create table t(a int)"));
    EXPECT_FALSE(SVDataExecDuo(&db, "update t set a=1", "insert into t values(1)"));
    EXPECT_EQ(0, SVDataAffectedRow(&db));
    EXPECT_FALSE(SVDataOpenQuery(&db, "select * from t"));
    EXPECT_EQ(0, SVDataGetRowCount(&db));
    EXPECT_FALSE(SVDataNextRow(&db));
    EXPECT_FALSE(SVDataNextField(&db));
    EXPECT_EQ("", db.Value());
  }

  EXPECT_EQ("Installed", RegText("SOFTWARE\\ODBC\\ODBCINST.INI\\ODBC Drivers", "Microsoft Access Driver (*.mdb)"));
  EXPECT_EQ(4, GetRegistryInt(kLocalMachine, kDriverKey, "UsageCount", -1));
  std::string sys = sv::TakeOut([](SvStr* o) { GetSysDir(o); });
  EXPECT_EQ(sys + "odbcjt32.dll", RegText(kDriverKey, "Driver"));
  EXPECT_EQ(sys + "odbcjt32.dll", RegText(kDriverKey, "Setup"));
  EXPECT_EQ("YYN", RegText(kDriverKey, "ConnectFunctions"));
  EXPECT_EQ("02.50", RegText(kDriverKey, "DriverODBCVer"));
  EXPECT_EQ("*.mdb", RegText(kDriverKey, "FileExtns"));
  EXPECT_EQ("0", RegText(kDriverKey, "SQLLevel"));
  EXPECT_EQ("2", RegText(kDriverKey, "FileUsage"));
  EXPECT_EQ("9", RegText(kDriverKey, "APILevel"));
}

TEST(DataAdo, FileRulesAndShortRecord) {
  ScratchDir dir("ado");
  std::string missing = dir / "missing.mdb";
  // Jet types need the file; the error text stays as it was.
  Db jet(SVDATA_JET);
  EXPECT_FALSE(jet.Connect(missing));
  EXPECT_EQ("", jet.Error());
  // Types 4 and 5 try to connect without the file and report why they failed.
  Db other(SVDATA_ADO_4);
  EXPECT_FALSE(other.Connect(missing));
  EXPECT_EQ(0u, other.Error().find("Jet 4.0: ")) << other.Error();

  // A record of 8 bytes: the junk after the file name is never read.
  std::string file = dir / "a.mdb";
  WriteFileBytes(file, "x");
  TSVDataConnectParams p;
  memset(&p, 0xEE, sizeof p);
  p.size = 8;
  p.file = file.c_str();
  EXPECT_FALSE(SVDataConnect(&jet, &p));
  EXPECT_NE("", jet.Error());
}

TEST(DataAdo, CompactWithoutEngineLeavesTheFile) {
  if (HasJet()) GTEST_SKIP() << "a Jet provider is installed here";
  ScratchDir dir("ado");
  std::string file = dir / "base.mdb";
  WriteFileBytes(file, "content");
  WriteFileBytes(file + ".~tmp", "stale");
  TSVDataConnectParams p = ParamsFor(file);
  EXPECT_FALSE(SVDataCompact(&p, SVDATA_JET));
  EXPECT_EQ("content", ReadFileBytes(file));
  EXPECT_EQ(0xFFFFFFFFu, GetFileAttributesA((file + ".~tmp").c_str()));  // the stale copy went first
  EXPECT_FALSE(SVDataCompact(&p, SVDATA_ADO_4));
  TSVDataConnectParams none = ParamsFor(dir / "none.mdb");
  EXPECT_FALSE(SVDataCompact(&none, SVDATA_JET));
  EXPECT_FALSE(SVDataCompact(nullptr, SVDATA_JET));
}

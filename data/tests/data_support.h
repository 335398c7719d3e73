// Helpers of the SolvikaData tests: a connected handle that cleans up after
// itself, and reading a whole query as text.
#pragma once

#include <string>
#include <vector>

#include "SolvikaData.h"
#include "test_support.h"

inline TSVDataConnectParams ParamsFor(const std::string& file) {
  TSVDataConnectParams p = {};
  p.size = sizeof p;
  p.file = file.c_str();
  return p;
}

class Db {
 public:
  explicit Db(uint32_t type) : h_(SVDataCreate(type)) {}
  ~Db() {
    SVDataDisconnect(&h_);
    SVDataFree(&h_);
  }
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  SvDataHandle* operator&() { return &h_; }
  SvDataHandle get() const { return h_; }

  bool Connect(const std::string& file) {
    TSVDataConnectParams p = ParamsFor(file);
    return SVDataConnect(&h_, &p);
  }
  bool Exec(const std::string& sql) { return SVDataExec(&h_, sql.c_str()); }
  std::string Error() {
    return sv::TakeOut([&](SvStr* out) { SVDataError(out, &h_); });
  }
  std::string Value() {
    return sv::TakeOut([&](SvStr* out) { SVDataGetValue(out, &h_); });
  }
  // Every row of the query, fields joined by "|"; "<failed>" when the query
  // does not open.
  std::vector<std::string> Rows(const std::string& sql) {
    std::vector<std::string> rows;
    if (!SVDataOpenQuery(&h_, sql.c_str())) return {"<failed>"};
    while (SVDataNextRow(&h_)) {
      std::string row;
      bool first = true;
      while (SVDataNextField(&h_)) {
        if (!first) row += '|';
        row += Value();
        first = false;
      }
      rows.push_back(row);
    }
    SVDataCloseQuery(&h_);
    return rows;
  }
  std::string One(const std::string& sql) {
    std::vector<std::string> rows = Rows(sql);
    return rows.size() == 1 ? rows[0] : "<" + std::to_string(rows.size()) + " rows>";
  }

 private:
  SvDataHandle h_;
};

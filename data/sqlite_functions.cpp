// The SQL functions of database type 7: "like" (with and without an escape
// character), "upper" and "lower" that know Russian letters. They work on the
// stored Windows-1251 bytes (see sqlite_db.h).
#include <string>

#include "cp1251_case.h"
#include "russian_text.h"
#include "sqlite3.h"
#include "sqlite_db.h"

namespace data {

namespace {

// LIKE(pattern, text[, escape]): SQLite calls it for "text LIKE pattern".
// A missing (NULL) value counts as empty text, and the result is always 1 or 0.
void Like(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  const unsigned char* pattern = sqlite3_value_text(argv[0]);
  int patternLen = sqlite3_value_bytes(argv[0]);
  const unsigned char* text = sqlite3_value_text(argv[1]);
  int textLen = sqlite3_value_bytes(argv[1]);
  int escape = -1;
  if (argc == 3 && sqlite3_value_type(argv[2]) != SQLITE_NULL) {
    const unsigned char* e = sqlite3_value_text(argv[2]);
    if (!e || sqlite3_value_bytes(argv[2]) != 1) {
      sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
      return;
    }
    escape = e[0];
  }
  bool match = LikeMatch(pattern ? pattern : (const unsigned char*)"", pattern ? (size_t)patternLen : 0,
                         text ? text : (const unsigned char*)"", text ? (size_t)textLen : 0,
                         sv::UpperMap1251(), escape);
  sqlite3_result_int(ctx, match ? 1 : 0);
}

void Map(sqlite3_context* ctx, sqlite3_value* arg, std::string (*mapCase)(std::string_view)) {
  if (sqlite3_value_type(arg) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const unsigned char* text = sqlite3_value_text(arg);
  int len = sqlite3_value_bytes(arg);
  std::string out = mapCase(std::string_view(text ? (const char*)text : "", text ? (size_t)len : 0));
  sqlite3_result_text(ctx, out.data(), (int)out.size(), SQLITE_TRANSIENT);
}

void Upper(sqlite3_context* ctx, int, sqlite3_value** argv) { Map(ctx, argv[0], sv::ToUpper1251); }
void Lower(sqlite3_context* ctx, int, sqlite3_value** argv) { Map(ctx, argv[0], sv::ToLower1251); }

}  // namespace

bool RegisterRussianFunctions(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  return sqlite3_create_function(db, "like", 2, flags, nullptr, Like, nullptr, nullptr) == SQLITE_OK &&
         sqlite3_create_function(db, "like", 3, flags, nullptr, Like, nullptr, nullptr) == SQLITE_OK &&
         sqlite3_create_function(db, "upper", 1, flags, nullptr, Upper, nullptr, nullptr) == SQLITE_OK &&
         sqlite3_create_function(db, "lower", 1, flags, nullptr, Lower, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace data

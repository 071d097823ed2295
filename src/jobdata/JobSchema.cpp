#include "jobdata/JobSchema.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string_view>

namespace {

struct TableNeed {
  const char* name;
  const char* key;  // the row number the others join to; nullptr for none
  std::initializer_list<const char*> columns;
};

const std::array<TableNeed, 5> kPointTables = {{
    {"tblCrdGnssRaw", nullptr,
     {"xx", "yy", "zz", "SolutionType", "ObsDuration", "NumOfEpochs", "HDop", "VDop", "NumOfGpsSats",
      "NumOfGlonassSats", "fkeyRoverStation", "fkeyCrdRawMeas", "fKeyBaseStation"}},
    {"tblStations", "keyStation", {"fkeySoPoint", "DeletedFlag"}},
    {"tblSoPoints", "keySoPoint", {"Name", "C1", "C2", "C3"}},
    {"tblCrdRawMeas", "keyCrdRawMeas", {"SecondsFrom1970"}},
    {"tblCrdBaseSt", "keyCrdBaseSt", {"Name"}},
}};
const TableNeed kOptionsTable = {"tblJobPrimOpts", nullptr, {"FieldId", "binaryValue"}};

// SQLite's names match without regard to ASCII case.
bool SameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

struct Column {
  std::string name;
  std::string type;
  bool primaryKey = false;
};

struct Table {
  bool exists = false;
  bool isView = false;
  std::vector<Column> columns;
  int primaryKeys = 0;
};

std::optional<Table> ReadTable(const SqliteDb& db, const char* name, SqliteFailure& failure) {
  Table table;
  // The names are ours, never the file's: they can stand in the statement's text.
  SqliteStatement kind(db, std::string("select type from sqlite_master where type in ('table', 'view') and name='") + name +
                         "' collate nocase");
  while (kind.Step()) {
    table.exists = true;
    table.isView = kind.Text(0) == "view";
  }
  SqliteStatement info(db, std::string("select name, type, pk from pragma_table_info('") + name + "')");
  while (table.exists && info.Step()) {
    Column column{std::string(info.Text(0)), std::string(info.Text(1)), info.Text(2) != "0"};
    table.primaryKeys += column.primaryKey;
    table.columns.push_back(std::move(column));
  }
  for (const SqliteStatement* statement : {&kind, &info}) {
    if (statement->failed()) {
      failure = statement->failure();
      return std::nullopt;
    }
  }
  return table;
}

const Column* FindColumn(const Table& table, const char* name) {
  for (const Column& column : table.columns) {
    if (SameName(column.name, name)) return &column;
  }
  return nullptr;
}

// A key is read as the row number it was written as only while it is "INTEGER PRIMARY
// KEY": a view computes its own, and any other spelling makes a column whose stored
// values are NULL.
bool IsRowNumber(const Table& table, const Column& column) {
  return table.isView || (column.primaryKey && table.primaryKeys == 1 && SameName(column.type, "INTEGER"));
}

void CheckTable(const Table& table, const TableNeed& need, std::vector<std::string>& missing) {
  const std::string name = need.name;
  if (!table.exists) {
    missing.push_back(name + " tablosu yok");
    return;
  }
  if (need.key) {
    const Column* key = FindColumn(table, need.key);
    if (!key) {
      missing.push_back(name + "." + need.key + " sütunu yok");
    } else if (!IsRowNumber(table, *key)) {
      missing.push_back(name + "." + need.key + " INTEGER PRIMARY KEY değil (" + key->type + ")");
    }
  }
  for (const char* column : need.columns) {
    if (!FindColumn(table, column)) missing.push_back(name + "." + column + " sütunu yok");
  }
}

}  // namespace

std::optional<JobSchema> JobSchema::Read(const SqliteDb& db, SqliteFailure& failure) {
  JobSchema schema;
  std::optional<Table> gnss = ReadTable(db, kPointTables[0].name, failure);
  if (!gnss) return std::nullopt;
  schema.m_hasPointTables = gnss->exists;
  if (schema.m_hasPointTables) {
    for (const TableNeed& need : kPointTables) {
      std::optional<Table> table = ReadTable(db, need.name, failure);
      if (!table) return std::nullopt;
      CheckTable(*table, need, schema.m_missing);
    }
  }
  std::optional<Table> options = ReadTable(db, kOptionsTable.name, failure);
  if (!options) return std::nullopt;
  schema.m_hasOptionsTable = options->exists;
  if (options->exists) CheckTable(*options, kOptionsTable, schema.m_missing);
  return schema;
}

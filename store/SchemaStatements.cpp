#include "store/SchemaStatements.h"

#include <sqlite3.h>
#include <unistd.h>

#include "store/SQLiteDB.h"
#include "store/StoreRows.h"

const std::vector<std::string>& ProfileSchemaStatements() {
  static const std::vector<std::string> statements = {
      "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  profile INTEGER, key TEXT, value TEXT)",
      "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  name TEXT, status INTEGER, app TEXT, type INTEGER)",
      "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)",
      "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\tprofile INTEGER, fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, \t\t\t\t\t\t\t\tmacro_type INTEGER, macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT)",
      "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)",
      "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  macro_desc TEXT, param TEXT, type INTEGER)",
      "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)",
      "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  play_times INTEGER, delay_type INTEGER, delay_time INTEGER, link_count INTEGER, name TEXT)",
      "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)",
      "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  macro_id INTEGER, type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time INTEGER)",
      "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)",
      "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t\t\t  profile INTEGER, name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, \t\t\t\t\t\t\t\t\t\tdirection INTEGER, colorful INTEGER, colorindex INTEGER, \t\t\t\t\t\t\t\t\t\tcolor_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER)",
      "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)",
      "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t   profile INTEGER, light_id INTEGER, key_code INTEGER, key_rgb INTEGER)",
      "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id)",
  };
  return statements;
}

const std::vector<std::string>& LightFrameSchemaStatements() {
  static const std::vector<std::string> statements = {
      "CREATE TABLE IF NOT EXISTS t_default_light_frames(frames_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  light_id INTEGER, frameIndex INTEGER, key_value INTEGER, rgb_value INTEGER)",
      "CREATE TABLE IF NOT EXISTS t_light_frames(frames_id INTEGER PRIMARY KEY AUTOINCREMENT, \t\t\t\t\t\t\t\t  light_id INTEGER, frameIndex INTEGER, key_value INTEGER, rgb_value INTEGER)",
      "CREATE INDEX IF NOT EXISTS led_frames_index ON t_light_frames(frames_id)",
  };
  return statements;
}

bool CreateSchema(SQLiteDB& database, const std::string& path,
                  const std::vector<std::string>& statements) {
  const bool created = store_rows::WriteAtomically(&database, [&] {
    for (const std::string& statement : statements) {
      if (database.Exec(statement.c_str()) != SQLITE_OK) {
        return false;
      }
    }
    return true;
  });
  if (!created && database.Close()) {
    ::unlink(path.c_str());
  }
  return created;
}

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "StoreTestSupport.h"
#include "store/SQLiteAutoTransaction.h"
#include "store/SQLiteDB.h"
#include "store/SQLiteStatement.h"

namespace {

constexpr int kCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;

TEST(SQLiteWrapper, StatementsOnAClosedConnectionFailWithMisuse) {
  SQLiteDB db;
  SQLiteStatement s;
  EXPECT_EQ(db.Prepare(s, "SELECT 1"), SQLITE_MISUSE);
  EXPECT_FALSE(s.HasStatement());
  EXPECT_EQ(s.BindInt(1, 5), SQLITE_MISUSE);
  EXPECT_EQ(s.Step(), SQLITE_MISUSE);
  EXPECT_EQ(s.ColumnInt(0), 0);
  EXPECT_EQ(s.ColumnText(0), nullptr);
  EXPECT_EQ(db.Exec("SELECT 1"), SQLITE_MISUSE);
  EXPECT_EQ(db.LastInsertRowId(), -1);
  EXPECT_FALSE(db.Open(nullptr, "", kCreate));
}

TEST(SQLiteWrapper, PreparingAgainReplacesTheFirstStatement) {
  StoreFolder folder;
  SQLiteDB db;
  ASSERT_TRUE(db.Open((folder.Slashed() + "a.db").c_str(), "", kCreate));
  ASSERT_EQ(db.Exec("CREATE TABLE t(v INTEGER)"), SQLITE_OK);
  SQLiteStatement s;
  ASSERT_EQ(db.Prepare(s, "SELECT 7"), SQLITE_OK);
  ASSERT_EQ(db.Prepare(s, "INSERT INTO t(v) VALUES (?)"), SQLITE_OK);
  EXPECT_EQ(s.BindInt(1, 42), SQLITE_OK);
  EXPECT_EQ(s.Step(), SQLITE_DONE);
  EXPECT_TRUE(s.IsDone());
  EXPECT_EQ(db.LastInsertRowId(), 1);
  // The connection closes cleanly only if the first statement was finalised too.
  s.Finalize();
  EXPECT_TRUE(db.Close());
  EXPECT_FALSE(db.IsOpen());
}

TEST(SQLiteWrapper, ResetStepsTheSameStatementAgainAfterAFailedRow) {
  StoreFolder folder;
  SQLiteDB db;
  ASSERT_TRUE(db.Open((folder.Slashed() + "r.db").c_str(), "", kCreate));
  ASSERT_EQ(db.Exec("CREATE TABLE t(v INTEGER UNIQUE)"), SQLITE_OK);
  SQLiteStatement s;
  ASSERT_EQ(db.Prepare(s, "INSERT INTO t(v) VALUES (?)"), SQLITE_OK);
  for (const int v : {1, 1, 2}) {  // the second row breaks the constraint
    s.BindInt(1, v);
    s.Step();
    EXPECT_EQ(s.Reset(), SQLITE_OK);
  }
  // A reset also clears the bindings: stepping now inserts NULL, not the last value.
  EXPECT_EQ(s.Step(), SQLITE_DONE);
  s.Finalize();
  ASSERT_EQ(db.Prepare(s, "SELECT count(*), count(v), sum(v) FROM t"), SQLITE_OK);
  ASSERT_EQ(s.Step(), SQLITE_ROW);
  EXPECT_EQ(s.ColumnInt(0), 3);
  EXPECT_EQ(s.ColumnInt(1), 2);
  EXPECT_EQ(s.ColumnInt(2), 3);
  s.Finalize();
  SQLiteStatement none;
  EXPECT_EQ(none.Reset(), SQLITE_MISUSE);
}

TEST(SQLiteWrapper, ReopeningClosesTheOldConnectionAndAKeyIsRefused) {
  StoreFolder folder;
  SQLiteDB db;
  ASSERT_TRUE(db.Open((folder.Slashed() + "a.db").c_str(), "", kCreate));
  db.Exec("CREATE TABLE a(v)");
  ASSERT_TRUE(db.Open((folder.Slashed() + "b.db").c_str(), "", kCreate));
  SQLiteStatement s;
  EXPECT_NE(db.Prepare(s, "SELECT * FROM a"), SQLITE_OK);  // now on b.db
  s.Finalize();
  // No codec in this SQLite: a keyed open must not pretend to encrypt.
  EXPECT_FALSE(db.Open((folder.Slashed() + "c.db").c_str(), "secret", kCreate));
  EXPECT_FALSE(db.IsOpen());
}

TEST(SQLiteWrapper, TransactionEndsWithCommitEvenWithoutCommitCall) {
  StoreFolder folder;
  const std::string file = folder.Slashed() + "t.db";
  SQLiteDB db;
  ASSERT_TRUE(db.Open(file.c_str(), "", kCreate));
  db.Exec("CREATE TABLE t(v)");
  {
    SQLiteAutoTransaction transaction(&db);
    EXPECT_TRUE(transaction.IsActive());
    EXPECT_FALSE(transaction.Begin());  // the constructor already began
    db.Exec("INSERT INTO t VALUES (1)");
  }
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM t"), 1);
  SQLiteAutoTransaction transaction(&db);
  db.Exec("INSERT INTO t VALUES (2)");
  EXPECT_TRUE(transaction.Commit());
  EXPECT_FALSE(transaction.IsActive());
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM t"), 2);

  SQLiteAutoTransaction none(nullptr);
  EXPECT_FALSE(none.Begin());
  EXPECT_FALSE(none.Commit());
}

}  // namespace

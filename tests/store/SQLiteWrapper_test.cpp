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

// A connection on a file with one table t(v) that the test's transactions write to.
class SQLiteTransaction : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(db.Open(file.c_str(), "", kCreate));
    ASSERT_EQ(db.Exec("CREATE TABLE t(v)"), SQLITE_OK);
  }

  TempFolder folder;
  const std::string file = folder.Slashed() + "t.db";
  SQLiteDB db;
};

TEST_F(SQLiteTransaction, ConcludeCommitsWhatSucceededAndRollsBackWhatFailed) {
  {
    SQLiteAutoTransaction transaction(&db);
    ASSERT_TRUE(transaction.Began());
    db.Exec("INSERT INTO t VALUES (1)");
    EXPECT_TRUE(transaction.Conclude(true));
    EXPECT_FALSE(transaction.IsActive());
  }
  {
    SQLiteAutoTransaction transaction(&db);
    db.Exec("INSERT INTO t VALUES (2)");
    EXPECT_FALSE(transaction.Conclude(false));
    EXPECT_FALSE(db.InTransaction());
  }  // nothing left for the destructor to commit
  EXPECT_EQ(QueryText(file, "SELECT group_concat(v) FROM t"), "1");

  // A trigger that ends the whole transaction itself: the rollback finds nothing left to undo.
  db.Exec("CREATE TRIGGER t_fail BEFORE INSERT ON t WHEN NEW.v = 4 BEGIN SELECT RAISE(ROLLBACK, 'no'); END");
  SQLiteAutoTransaction transaction(&db);
  db.Exec("INSERT INTO t VALUES (3)");
  EXPECT_NE(db.Exec("INSERT INTO t VALUES (4)"), SQLITE_OK);
  EXPECT_TRUE(transaction.Rollback());
  EXPECT_EQ(QueryText(file, "SELECT group_concat(v) FROM t"), "1");
}

TEST_F(SQLiteTransaction, ACommitRefusedByAReaderIsRolledBackInsteadOfLeftOpen) {
  SQLiteDB reader;
  ASSERT_TRUE(reader.Open(file.c_str(), "", kCreate));
  ASSERT_EQ(reader.Exec("BEGIN; SELECT count(*) FROM t;"), SQLITE_OK);
  {
    SQLiteAutoTransaction transaction(&db);
    EXPECT_EQ(db.Exec("INSERT INTO t VALUES (1)"), SQLITE_OK);
    EXPECT_FALSE(transaction.Conclude(true));
    EXPECT_FALSE(db.InTransaction());
  }
  ASSERT_EQ(reader.Exec("COMMIT"), SQLITE_OK);
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM t"), 0);
  SQLiteAutoTransaction again(&db);  // the lock was given up: a new write goes through
  EXPECT_EQ(db.Exec("INSERT INTO t VALUES (2)"), SQLITE_OK);
  EXPECT_TRUE(again.Conclude(true));
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM t"), 1);
}

TEST_F(SQLiteTransaction, ARollbackNeverUndoesATransactionItDidNotBegin) {
  ASSERT_EQ(db.Exec("BEGIN"), SQLITE_OK);
  db.Exec("INSERT INTO t VALUES (1)");
  {
    SQLiteAutoTransaction inner(&db);  // its BEGIN fails inside the open one
    EXPECT_FALSE(inner.Began());
    EXPECT_FALSE(inner.Conclude(false));
  }
  EXPECT_TRUE(db.InTransaction());
  ASSERT_EQ(db.Exec("END"), SQLITE_OK);
  EXPECT_EQ(QueryInt(file, "SELECT count(*) FROM t"), 1);

  SQLiteAutoTransaction none(nullptr);
  EXPECT_FALSE(none.Rollback());
  SQLiteDB closed;
  SQLiteAutoTransaction onClosed(&closed);
  EXPECT_FALSE(onClosed.Began());
  EXPECT_FALSE(onClosed.Rollback());
  EXPECT_FALSE(onClosed.IsActive());
}

}  // namespace

#include "update/ExtractZip.h"
#include "update/ZipReader.h"
#include "update/ZipTime.h"

#include "ScratchFolder.h"

#include <ctime>
#include <gtest/gtest.h>

using namespace update;

namespace {

std::int64_t ModifiedSeconds(const struct stat& info) { return info.st_mtim.tv_sec; }

}  // namespace

TEST(ExtractZip, UnpacksStoredDeflatedAndEmptyEntriesMadeByTheZipTool) {
    ScratchFolder dir;
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i) + "\n";
    dir.Write("src/text.txt", text);
    dir.Write("src/raw.bin", "stored as is");
    dir.Write("src/empty.txt", "");
    dir.Write("src/sub/deeper/note.txt", "nested");
    ASSERT_TRUE(dir.Shell("cd src && zip -q -r -n .bin ../a.zip ."));

    ZipResult error = 1;
    ASSERT_TRUE(ExtractZip(dir / "a.zip", dir / "out", &error));
    EXPECT_EQ(error, kZipOk);
    EXPECT_EQ(dir.Read("out/text.txt"), text);
    EXPECT_EQ(dir.Read("out/raw.bin"), "stored as is");
    EXPECT_TRUE(S_ISREG(dir.Stat("out/empty.txt").st_mode));
    EXPECT_EQ(dir.Stat("out/empty.txt").st_size, 0);
    EXPECT_EQ(dir.Read("out/sub/deeper/note.txt"), "nested");
}

TEST(ExtractZip, CreatesEachFolderLevelOfAFileWithoutFolderEntries) {
    ScratchFolder dir;
    dir.Write("src/sub/dir/file.txt", "x");
    ASSERT_TRUE(dir.Shell("cd src && zip -q -r -D ../a.zip sub"));
    ASSERT_TRUE(ExtractZip(dir / "a.zip", dir / "out"));
    EXPECT_TRUE(S_ISDIR(dir.Stat("out/sub").st_mode));
    EXPECT_TRUE(S_ISDIR(dir.Stat("out/sub/dir").st_mode));
    EXPECT_EQ(dir.Read("out/sub/dir/file.txt"), "x");
}

TEST(ExtractZip, HostileNamesLandBelowTheTargetFolder) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.Python(R"(
import zipfile
with zipfile.ZipFile('names.zip', 'w') as z:
    for name in ['..\\..\\setup.exe', 'C:\\x\\y.exe', '/abs/file.txt', '../../escape.txt',
                 'a/../../../up.txt', '\\\\server\\share\\s.txt', 'dir/']:
        z.writestr(name, '' if name.endswith('/') else name)
)"));
    ZipResult error = 1;
    ASSERT_TRUE(ExtractZip(dir / "names.zip", dir / "deep/out", &error));
    EXPECT_EQ(error, kZipOk);
    EXPECT_EQ(dir.Read("deep/out/setup.exe"), "..\\..\\setup.exe");
    EXPECT_EQ(dir.Read("deep/out/x/y.exe"), "C:\\x\\y.exe");
    EXPECT_EQ(dir.Read("deep/out/abs/file.txt"), "/abs/file.txt");
    EXPECT_EQ(dir.Read("deep/out/escape.txt"), "../../escape.txt");
    EXPECT_EQ(dir.Read("deep/out/up.txt"), "a/../../../up.txt");
    EXPECT_EQ(dir.Read("deep/out/server/share/s.txt"), "\\\\server\\share\\s.txt");
    EXPECT_TRUE(S_ISDIR(dir.Stat("deep/out/dir").st_mode));
    // Nothing beside or above the target.
    EXPECT_EQ(dir.Stat("deep/setup.exe").st_mode, 0u);
    EXPECT_EQ(dir.Stat("escape.txt").st_mode, 0u);
    EXPECT_EQ(dir.Stat("deep/up.txt").st_mode, 0u);

    // A name handed in by the caller is held to the same rule.
    ZipReader reader;
    ASSERT_EQ(reader.Open(dir / "names.zip"), kZipOk);
    ASSERT_EQ(reader.SetBaseFolder(dir / "deep/again"), kZipOk);
    EXPECT_EQ(reader.UnpackEntry(0, "/../../../caller.txt"), kZipOk);
    EXPECT_EQ(dir.Read("deep/again/caller.txt"), "..\\..\\setup.exe");
    // A NUL byte would cut "..\0x" to ".." at the system call.
    EXPECT_EQ(reader.UnpackEntry(0, std::string("..\0x/f.txt", 10)), kZipOpenFailed);
    EXPECT_EQ(reader.UnpackEntry(0, std::string("a/f\0/x", 6)), kZipOpenFailed);
    EXPECT_EQ(dir.Stat("deep/f.txt").st_mode, 0u);
}

TEST(ExtractZip, TimestampFieldWinsOverTheLocalDosTime) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.Python(R"(
import zipfile, struct
with zipfile.ZipFile('t.zip', 'w') as z:
    dos = zipfile.ZipInfo('dos.txt', date_time=(2010, 6, 15, 12, 30, 44))
    z.writestr(dos, 'dos')
    ut = zipfile.ZipInfo('ut.txt', date_time=(2001, 1, 1, 0, 0, 0))
    ut.extra = struct.pack('<HHBi', 0x5455, 5, 1, 1234567890)
    z.writestr(ut, 'ut')
)"));
    // Three hours east of UTC, so that reading the DOS time as UTC would be caught.
    const char* oldTz = std::getenv("TZ");
    const std::string savedTz = oldTz ? oldTz : "";
    ::setenv("TZ", "KWT-3", 1);
    ::tzset();
    const bool extracted = ExtractZip(dir / "t.zip", dir / "out");
    if (oldTz) ::setenv("TZ", savedTz.c_str(), 1); else ::unsetenv("TZ");
    ::tzset();
    ASSERT_TRUE(extracted);

    std::tm utc{};
    utc.tm_year = 110, utc.tm_mon = 5, utc.tm_mday = 15, utc.tm_hour = 12, utc.tm_min = 30, utc.tm_sec = 44;
    EXPECT_EQ(ModifiedSeconds(dir.Stat("out/dos.txt")), ::timegm(&utc) - 3 * 3600);
    EXPECT_EQ(ModifiedSeconds(dir.Stat("out/ut.txt")), 1234567890);
}

TEST(ExtractZip, DamagedDeflateDataFailsOnlyThatEntry) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.Python(R"(
import zipfile
with zipfile.ZipFile('c.zip', 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('first.txt', 'first ' * 100)
    z.writestr('broken.txt', 'broken ' * 100)
    z.writestr('last.txt', 'last ' * 100)
data = bytearray(open('c.zip', 'rb').read())
info = zipfile.ZipFile('c.zip').getinfo('broken.txt')
start = info.header_offset + 30 + len('broken.txt')
data[start:start + 4] = b'\xff\xff\xff\xff'  # a reserved block type
open('c.zip', 'wb').write(data)
)"));
    ZipResult error = 0;
    ASSERT_TRUE(ExtractZip(dir / "c.zip", dir / "out", &error));
    EXPECT_EQ(error, kZipBadData);
    EXPECT_EQ(dir.Read("out/last.txt").size(), 500u);
    EXPECT_EQ(dir.Read("out/first.txt").size(), 600u);
    EXPECT_EQ(dir.Stat("out/broken.txt").st_mode, 0u) << "a partial file must not be left behind";

    ZipReader reader;
    ASSERT_EQ(reader.Open(dir / "c.zip"), kZipOk);
    ASSERT_EQ(reader.SetBaseFolder(dir / "again"), kZipOk);
    EXPECT_EQ(reader.UnpackEntry(1, "broken.txt"), kZipBadData);
    EXPECT_EQ(reader.LastError(), kZipBadData);
    EXPECT_EQ(reader.UnpackEntry(2, "last.txt"), kZipOk);
}

TEST(ExtractZip, StoredDataWithAWrongChecksumIsRejected) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.Python(R"(
import zipfile
with zipfile.ZipFile('s.zip', 'w') as z:
    z.writestr('s.txt', 'original content')
data = open('s.zip', 'rb').read().replace(b'original', b'ORIGINAL')
open('s.zip', 'wb').write(data)
)"));
    ZipResult error = 0;
    ASSERT_TRUE(ExtractZip(dir / "s.zip", dir / "out", &error));
    EXPECT_EQ(error, kZipBadData);
    EXPECT_EQ(dir.Stat("out/s.txt").st_mode, 0u);
}

TEST(ExtractZip, TruncatedMissingAndForeignFilesDoNotOpen) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.Shell("head -c 50000 /dev/urandom > big.bin && zip -q a.zip big.bin && head -c 20000 a.zip > cut.zip"));
    dir.Write("text.zip", "this is not an archive at all, only text");
    dir.Write("empty.zip", "");
    for (const char* name : {"cut.zip", "text.zip", "empty.zip", "missing.zip"}) {
        ZipResult error = 0;
        EXPECT_FALSE(ExtractZip(dir / name, dir / "out", &error)) << name;
        EXPECT_EQ(error, kZipOpenFailed) << name;
    }
    ZipReader reader;
    EXPECT_EQ(reader.Open(dir.Path()), kZipOpenFailed) << "a folder is not an archive";
}

TEST(ExtractZip, LinksAreNeverCreatedNorFollowed) {
    ScratchFolder dir;
    dir.Write("outside/secret.txt", "keep");
    dir.Write("src/plain.txt", "plain");
    ASSERT_TRUE(dir.Shell("ln -s ../outside src/dirlink && ln -s ../outside/secret.txt src/filelink"));
    ASSERT_TRUE(dir.Shell("cd src && zip -q -y ../l.zip dirlink filelink plain.txt"));
    // An archive that first makes a link and then writes through it.
    ASSERT_TRUE(dir.Python(R"(
import zipfile
src = zipfile.ZipFile('l.zip')
with zipfile.ZipFile('through.zip', 'w') as z:
    for info in src.infolist():
        z.writestr(info, src.read(info))
    z.writestr('dirlink/planted.txt', 'planted')
    z.writestr('filelink', 'overwritten')
)"));
    // Links already in the target are not followed either.
    ASSERT_TRUE(dir.Shell("mkdir out && ln -s ../outside out/pre && ln -s ../outside/secret.txt out/prefile"));
    ASSERT_TRUE(dir.Python(R"(
import zipfile
with zipfile.ZipFile('pre.zip', 'w') as z:
    z.writestr('pre/planted.txt', 'planted')
    z.writestr('prefile', 'replaced')
)"));
    ZipResult error = 0;
    ASSERT_TRUE(ExtractZip(dir / "through.zip", dir / "out", &error));
    ASSERT_TRUE(ExtractZip(dir / "pre.zip", dir / "out", &error));

    EXPECT_TRUE(S_ISREG(dir.Stat("out/dirlink").st_mode));
    EXPECT_EQ(dir.Read("out/dirlink"), "../outside");
    EXPECT_TRUE(S_ISREG(dir.Stat("out/filelink").st_mode));
    EXPECT_EQ(dir.Read("out/filelink"), "overwritten");
    EXPECT_EQ(dir.Read("out/plain.txt"), "plain");
    EXPECT_TRUE(S_ISLNK(dir.Stat("out/pre").st_mode));
    EXPECT_TRUE(S_ISREG(dir.Stat("out/prefile").st_mode));
    EXPECT_EQ(dir.Read("out/prefile"), "replaced");
    EXPECT_EQ(dir.Read("outside/secret.txt"), "keep");
    EXPECT_EQ(dir.Stat("outside/planted.txt").st_mode, 0u);
    EXPECT_EQ(error, kZipOpenFailed) << "writing through the link in the target must fail";
}

TEST(ExtractZip, OverwritingNeverWritesThroughAHardLink) {
    ScratchFolder dir;
    dir.Write("outside.txt", "keep");
    ASSERT_TRUE(dir.Shell("mkdir out && ln outside.txt out/a.txt"));
    dir.Write("src/a.txt", "new");
    ASSERT_TRUE(dir.Shell("cd src && zip -q ../h.zip a.txt"));
    ASSERT_TRUE(ExtractZip(dir / "h.zip", dir / "out"));
    EXPECT_EQ(dir.Read("out/a.txt"), "new");
    EXPECT_EQ(dir.Read("outside.txt"), "keep");
}

TEST(ExtractZip, ReadOnlyEntriesLoseWriteBitsAndExecutablesStayExecutable) {
    ScratchFolder dir;
    dir.Write("src/run.sh", "#!/bin/sh\n");
    dir.Write("src/ro.txt", "ro");
    ASSERT_TRUE(dir.Shell("chmod 755 src/run.sh && chmod 444 src/ro.txt && cd src && zip -q ../p.zip run.sh ro.txt"));
    ASSERT_TRUE(dir.Python(R"(
import zipfile
with zipfile.ZipFile('dos.zip', 'w') as z:
    info = zipfile.ZipInfo('dosro.txt')
    info.create_system = 0
    info.external_attr = 0x21  # archive, read-only
    z.writestr(info, 'dos')
)"));
    ASSERT_TRUE(ExtractZip(dir / "p.zip", dir / "out"));
    ASSERT_TRUE(ExtractZip(dir / "dos.zip", dir / "out"));
    EXPECT_EQ(dir.Stat("out/run.sh").st_mode & 0100, 0100u);
    EXPECT_EQ(dir.Stat("out/ro.txt").st_mode & 0333, 0u);
    EXPECT_EQ(dir.Stat("out/dosro.txt").st_mode & 0333, 0u);

    ZipReader reader;
    ZipEntry entry;
    ASSERT_EQ(reader.Open(dir / "dos.zip"), kZipOk);
    ASSERT_EQ(reader.GetEntry(0, entry), kZipOk);
    EXPECT_EQ(entry.attributes, kAttrReadOnly | kAttrArchive);
}

TEST(ExtractZip, Zip64ArchivesExtract) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.Python(R"(
import zipfile
with zipfile.ZipFile('py64.zip', 'w', zipfile.ZIP_DEFLATED) as z:
    with z.open('big.txt', 'w', force_zip64=True) as f:
        f.write(b'zip64 ' * 5000)
)"));
    dir.Write("src/tool.txt", "forced zip64 records");
    ASSERT_TRUE(dir.Shell("cd src && zip -q -fz ../tool64.zip tool.txt"));
    ZipResult error = 1;
    ASSERT_TRUE(ExtractZip(dir / "py64.zip", dir / "out", &error));
    EXPECT_EQ(error, kZipOk);
    ASSERT_TRUE(ExtractZip(dir / "tool64.zip", dir / "out", &error));
    EXPECT_EQ(error, kZipOk);
    EXPECT_EQ(dir.Read("out/big.txt").size(), 30000u);
    EXPECT_EQ(dir.Read("out/tool.txt"), "forced zip64 records");
}

TEST(ExtractZip, BytesInFrontOfTheArchiveAreSkipped) {
    ScratchFolder dir;
    dir.Write("src/f.txt", "after a stub");
    ASSERT_TRUE(dir.Shell("cd src && zip -q ../a.zip f.txt && cd .. && head -c 777 /dev/urandom > stub.zip && "
                          "cat a.zip >> stub.zip"));
    ASSERT_TRUE(ExtractZip(dir / "stub.zip", dir / "out"));
    EXPECT_EQ(dir.Read("out/f.txt"), "after a stub");
}

TEST(ExtractZip, AZipBombIsStoppedByTheOutputBound) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.Python(R"(
import zipfile
zeros = bytes(1 << 20)
with zipfile.ZipFile('bomb.zip', 'w', zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    with z.open('zeros.bin', 'w') as f:
        for _ in range(300):
            f.write(zeros)
    z.writestr('small.txt', 'small')
)"));
    ZipReader reader;
    ASSERT_EQ(reader.Open(dir / "bomb.zip"), kZipOk);
    ASSERT_EQ(reader.SetBaseFolder(dir / "out"), kZipOk);
    EXPECT_LT(reader.OutputLimit(), 300u << 20);
    EXPECT_EQ(reader.UnpackEntry(0, "zeros.bin"), kZipBadData);
    EXPECT_LE(reader.BytesWritten(), reader.OutputLimit());
    EXPECT_EQ(dir.Stat("out/zeros.bin").st_mode, 0u);
}

TEST(ExtractZip, EntriesThatLieOrShareDataAreStopped) {
    ScratchFolder dir;
    ASSERT_TRUE(dir.Python(R"(
import zipfile, struct
with zipfile.ZipFile('lie.zip', 'w', zipfile.ZIP_DEFLATED) as z:
    z.writestr('big.txt', 'a' * 100000)
    z.writestr('twin.txt', 'b' * 100)
data = bytearray(open('lie.zip', 'rb').read())
first = data.find(b'PK\x01\x02')
second = data.find(b'PK\x01\x02', first + 4)
struct.pack_into('<I', data, first + 24, 10)     # big.txt claims 10 bytes
struct.pack_into('<I', data, second + 42, 0)     # twin.txt points at big.txt's data
open('lie.zip', 'wb').write(data)
)"));
    ZipReader reader;
    ASSERT_EQ(reader.Open(dir / "lie.zip"), kZipOk);
    ASSERT_EQ(reader.SetBaseFolder(dir / "out"), kZipOk);
    EXPECT_EQ(reader.UnpackEntry(0, "big.txt"), kZipBadData);
    EXPECT_LE(reader.BytesWritten(), 10u);
    EXPECT_EQ(reader.UnpackEntry(1, "twin.txt"), kZipBadHeader);
}

TEST(ZipReader, ReportsHandleStateAndIndexErrors) {
    ScratchFolder dir;
    dir.Write("src/a.txt", "a");
    dir.Write("src/b.txt", "b");
    ASSERT_TRUE(dir.Shell("cd src && zip -q ../a.zip a.txt b.txt"));
    ZipReader reader;
    ZipEntry entry;
    EXPECT_EQ(reader.GetEntry(0, entry), kZipNotOpen);
    ASSERT_EQ(reader.Open(dir / "a.zip"), kZipOk);
    EXPECT_EQ(reader.Open(dir / "a.zip"), kZipInUse);
    ASSERT_EQ(reader.GetEntry(-1, entry), kZipOk);
    EXPECT_EQ(entry.index, 2);
    EXPECT_EQ(reader.GetEntry(2, entry), kZipIndexRange);
    EXPECT_EQ(reader.UnpackEntry(-5, "x"), kZipIndexRange);
    ASSERT_EQ(reader.GetEntry(1, entry), kZipOk);
    EXPECT_EQ(entry.name, "b.txt");
    EXPECT_EQ(entry.uncompressedSize, 1u);
    reader.Close();
    EXPECT_EQ(reader.GetEntry(0, entry), kZipNotOpen);
}

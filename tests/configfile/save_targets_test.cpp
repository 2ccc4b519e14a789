// What a save does with what it finds at its target: a regular file (directly or through a link)
// is replaced whole, a character device or a FIFO is written through and stays what it was, and
// a directory, a link to nothing or another node is refused with nothing written. No temporary
// file is ever renamed over something that is not a regular file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "config_test_support.h"
#include "configfile/config_save.h"
#include "platform/atomic_file.h"
#include "tests/support/file_nodes.h"

namespace {

using namespace configtest;
using configfile::ConfigSaveOutcome;
using testsupport::TypeAt;

constexpr const char* kDocument = "<?xml version=\"1.0\"?>\n<system/>\n";

configfile::ConfigSaveResult Save(const TempDir& dir, const std::string& target) {
    return configfile::SaveDocumentThroughScratch(kDocument, target, dir / "CompoundFile.cmp");
}

std::size_t TempFilesIn(const fs::path& dir) {
    std::size_t n = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        n += entry.path().extension() == ".tmp" ? 1 : 0;
    }
    return n;
}

TEST(SaveTargets, ACharacterDeviceIsWrittenThroughAndStaysTheDevice) {
    TempDir dir;
    const std::string null = dir / "null";
    ASSERT_TRUE(testsupport::MakeCharDevice(null, testsupport::kNullMajor, testsupport::kNullMinor));
    EXPECT_EQ(Save(dir, null).outcome, ConfigSaveOutcome::kSaved);
    EXPECT_EQ(TypeAt(null), S_IFCHR);
    EXPECT_EQ(testsupport::DeviceNumbersAt(null), makedev(testsupport::kNullMajor, testsupport::kNullMinor));
    // A link to it (as /dev/stdout is one to the terminal) is followed and stays a link.
    const std::string link = dir / "out";
    fs::create_symlink(null, link);
    EXPECT_EQ(Save(dir, link).outcome, ConfigSaveOutcome::kSaved);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(TypeAt(null), S_IFCHR);
    EXPECT_EQ(TempFilesIn(dir.path()), 0u);
}

TEST(SaveTargets, ADeviceThatRefusesTheBytesFailsTheSaveAndStaysTheDevice) {
    TempDir dir;
    const std::string full = dir / "full";
    ASSERT_TRUE(testsupport::MakeCharDevice(full, testsupport::kFullMajor, testsupport::kFullMinor));
    const auto result = Save(dir, full);
    EXPECT_EQ(result.outcome, ConfigSaveOutcome::kTargetWriteFailed);
    EXPECT_EQ(result.errorText, "No space left on device");
    EXPECT_EQ(TypeAt(full), S_IFCHR);
    EXPECT_EQ(TempFilesIn(dir.path()), 0u);
}

TEST(SaveTargets, AFifoIsWrittenThroughToItsReaderAndOneWithoutReaderFailsAtOnce) {
    TempDir dir;
    const std::string fifo = dir / "pipe";
    ASSERT_TRUE(testsupport::MakeFifo(fifo));
    // No reader: the save fails without waiting for one.
    const auto unread = Save(dir, fifo);
    EXPECT_EQ(unread.outcome, ConfigSaveOutcome::kTargetOpenFailed);
    EXPECT_EQ(unread.errorText, "no program reads from it");
    EXPECT_EQ(TypeAt(fifo), S_IFIFO);
    // With a reader, the reader gets the document.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(Save(dir, fifo).outcome, ConfigSaveOutcome::kSaved);
    std::string got(200, '\0');
    const ssize_t n = ::read(reader, got.data(), got.size());
    ::close(reader);
    ASSERT_GT(n, 0);
    got.resize(static_cast<std::size_t>(n));
    EXPECT_EQ(got, kDocument);
    EXPECT_EQ(TypeAt(fifo), S_IFIFO);
    EXPECT_EQ(TempFilesIn(dir.path()), 0u);
}

TEST(SaveTargets, StandardOutputIsWrittenThroughForTheDashName) {
    TempDir dir;
    ::testing::internal::CaptureStdout();
    const auto result = Save(dir, "-");
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(result.outcome, ConfigSaveOutcome::kSaved);
    EXPECT_EQ(printed, kDocument);
    EXPECT_FALSE(fs::exists(dir.path() / "-"));
}

TEST(SaveTargets, AFileThatIsStandardOutputIsWrittenThroughNotReplaced) {
    TempDir dir;
    // Standard output sent to a file that already holds output (as "> out.log" or ">> out.log"
    // would), and the save aimed at that same file (as /dev/stdout is then).
    const std::string log = dir / "out.log";
    WriteBytes(log, "earlier output\n");
    const int file = ::open(log.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(file, 0);
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ASSERT_GE(saved, 0);
    ::dup2(file, STDOUT_FILENO);
    ::close(file);
    struct stat before = {};
    ::stat(log.c_str(), &before);
    const auto result = Save(dir, log);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    EXPECT_EQ(result.outcome, ConfigSaveOutcome::kSaved);
    EXPECT_EQ(ReadBytes(log), std::string("earlier output\n") + kDocument);
    struct stat after = {};
    ::stat(log.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the file was replaced, cut off from the output";
}

TEST(SaveTargets, DirectoriesLinksToNothingAndSocketsAreRefusedWithNothingWritten) {
    TempDir dir;
    const std::string folder = dir / "folder";
    fs::create_directories(folder);
    const std::string dangling = dir / "dangling.xml";
    fs::create_symlink(dir / "nowhere.xml", dangling);
    const std::string toFolder = dir / "to-folder";
    fs::create_symlink(folder, toFolder);
    const std::string socket = dir / "socket";
    const int socketFd = testsupport::MakeSocket(socket);
    ASSERT_GE(socketFd, 0);
    struct Case {
        std::string target;
        const char* reason;
    };
    for (const Case& c :
         {Case{folder, "it is a directory"}, Case{dangling, "it is a symbolic link to nothing"},
          Case{toFolder, "it is a directory"}, Case{socket, "it is neither a file nor a device"}}) {
        const auto result = Save(dir, c.target);
        EXPECT_EQ(result.outcome, ConfigSaveOutcome::kTargetRefused) << c.target;
        EXPECT_EQ(result.errorText, c.reason) << c.target;
    }
    ::close(socketFd);
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_FALSE(fs::exists(dir / "nowhere.xml"));
    EXPECT_TRUE(fs::is_symlink(toFolder));
    EXPECT_EQ(TypeAt(socket), S_IFSOCK);
    EXPECT_EQ(TempFilesIn(dir.path()), 0u);
}

TEST(SaveTargets, NothingIsRenamedOverANodePutAtTheTargetDuringTheSave) {
    TempDir dir;
    const std::string target = dir / "Config.xml";
    struct Case {
        const char* what;
        std::function<void()> plant;
        mode_t type;
        const char* reason;
    };
    const Case cases[] = {
        {"device",
         [&] { testsupport::MakeCharDevice(target, testsupport::kNullMajor, testsupport::kNullMinor); },
         S_IFCHR, "it is a character device"},
        {"fifo", [&] { testsupport::MakeFifo(target); }, S_IFIFO, "it is a FIFO"},
        {"directory", [&] { fs::create_directory(target); }, S_IFDIR, "it is a directory"},
        {"link to nothing", [&] { fs::create_symlink(dir / "elsewhere.xml", target); }, S_IFLNK,
         "it is a symbolic link to nothing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        platform::AtomicFileWriter writer;
        ASSERT_TRUE(writer.Open(target));
        ASSERT_TRUE(writer.Write("new", 3));
        c.plant();
        EXPECT_FALSE(writer.Commit());
        EXPECT_EQ(writer.FailedStep(), platform::ReplaceStep::kRename);
        EXPECT_EQ(writer.ErrorText(), c.reason);
        EXPECT_EQ(TypeAt(target), c.type);
        EXPECT_EQ(TempFilesIn(dir.path()), 0u);
        fs::remove(target);
    }
    // A link to a regular file put there is not replaced by a file of its own either.
    WriteBytes(dir / "real.xml", "kept");
    platform::AtomicFileWriter writer;
    ASSERT_TRUE(writer.Open(target));
    fs::create_symlink(dir / "real.xml", target);
    EXPECT_FALSE(writer.Commit());
    EXPECT_EQ(writer.ErrorText(), "it is a symbolic link");
    EXPECT_TRUE(fs::is_symlink(target));
    EXPECT_EQ(ReadBytes(dir / "real.xml"), "kept");
}

}  // namespace

#include "index/ReplacingFile.h"
#include "TestFiles.h"
#include "index/FileReplace.h"
#include "index/OwnTemporaryFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tamblin;
namespace fs = std::filesystem;

namespace {

size_t EntriesIn(const std::string& folder) {
    return static_cast<size_t>(
        std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

unsigned ModeOf(const std::string& path) {
    struct stat info {};
    stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// A process number that no process has: a child that has ended and been reaped.
pid_t GonePid() {
    pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return child;
}

// A folder that holds only `bytes` bytes: a small tmpfs for the administrator; anyone else
// gets a limit on the size of the files this process writes (EFBIG instead of ENOSPC).
class SmallDisk {
public:
    SmallDisk(const std::string& folder, size_t bytes) : m_folder(folder) {
        fs::create_directories(folder);
        std::string size = "size=" + std::to_string(bytes);
        m_mounted = geteuid() == 0 && mount("tmpfs", folder.c_str(), "tmpfs", 0, size.c_str()) == 0;
        if (!m_mounted) {
            getrlimit(RLIMIT_FSIZE, &m_old);
            m_oldHandler = signal(SIGXFSZ, SIG_IGN);
            rlimit small{static_cast<rlim_t>(bytes), m_old.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
    }
    ~SmallDisk() {
        if (m_mounted) {
            umount2(m_folder.c_str(), MNT_DETACH);
        } else {
            setrlimit(RLIMIT_FSIZE, &m_old);
            signal(SIGXFSZ, m_oldHandler);
        }
    }
    int ExpectedError() const { return m_mounted ? ENOSPC : EFBIG; }

private:
    std::string m_folder;
    bool m_mounted = false;
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

TEST(ReplacingFile, FollowsSymbolicLinksAndKeepsTheMode) {
    TestFiles files;
    std::string real = files.Write("real/site.xo", "old");
    chmod(real.c_str(), 0640);
    fs::create_symlink("real/site.xo", files.Path("link.xo"));
    fs::create_symlink(files.Path("link.xo"), files.Path("chain.xo"));
    ASSERT_TRUE(WriteFileReplacing(files.Path("chain.xo"), "new").Ok());
    EXPECT_TRUE(fs::is_symlink(files.Path("link.xo")));
    EXPECT_TRUE(fs::is_symlink(files.Path("chain.xo")));
    EXPECT_EQ(TestFiles::Read(real), "new");
    EXPECT_EQ(ModeOf(real), 0640u);
    // A link to a file not yet made makes that file.
    fs::create_symlink("real/later.xo", files.Path("dangling.xo"));
    ASSERT_TRUE(WriteFileReplacing(files.Path("dangling.xo"), "made").Ok());
    EXPECT_EQ(TestFiles::Read(files.Path("real/later.xo")), "made");
    // A new file gets what the umask leaves of 0666, not a temporary file's 0600.
    mode_t mask = umask(022);
    ASSERT_TRUE(WriteFileReplacing(files.Path("fresh.xo"), "x").Ok());
    umask(mask);
    EXPECT_EQ(ModeOf(files.Path("fresh.xo")), 0644u);
    EXPECT_EQ(EntriesIn(files.Path("real")), 2u);
}

TEST(ReplacingFile, AReadOnlyFileIsReplacedOnlyWhenAllowed) {
    TestFiles files;
    std::string path = files.Write("ro.xo", "old");
    chmod(path.c_str(), 0444);
    EXPECT_EQ(ReplacingFile::Check(path).status, SaveStatus::ReadOnly);
    SaveResult refused = WriteFileReplacing(path, "new");
    EXPECT_EQ(refused.status, SaveStatus::ReadOnly);
    EXPECT_EQ(TestFiles::Read(path), "old");
    ASSERT_TRUE(WriteFileReplacing(path, "new", {.replaceReadOnly = true}).Ok());
    EXPECT_EQ(TestFiles::Read(path), "new");
    EXPECT_EQ(ModeOf(path), 0444u);
    EXPECT_EQ(EntriesIn(files.Path("")), 1u);
}

TEST(ReplacingFile, HardLinksKeepSharingTheNewBytes) {
    TestFiles files;
    std::string first = files.Write("a.xo", "old bytes");
    fs::create_hard_link(first, files.Path("b.xo"));
    chmod(first.c_str(), 0444);
    ASSERT_TRUE(WriteFileReplacing(files.Path("b.xo"), "new", {.replaceReadOnly = true}).Ok());
    EXPECT_EQ(TestFiles::Read(first), "new");
    EXPECT_EQ(fs::hard_link_count(first), 2u);
    EXPECT_EQ(ModeOf(first), 0444u);
    // Neither the temporary file nor the copy of the old bytes is left.
    EXPECT_EQ(EntriesIn(files.Path("")), 2u);
}

TEST(ReplacingFile, AFullDiskKeepsTheOldFileAndGivesTheReason) {
    TestFiles files;
    SmallDisk disk(files.Path("disk"), 64 * 1024);
    std::string path = files.Path("disk/site.xo");
    ASSERT_TRUE(WriteFileReplacing(path, std::string(20 * 1024, 'o')).Ok());
    fs::create_hard_link(path, files.Path("disk/other.xo"));
    for (const std::string& target : {path, files.Path("disk/single.xo")}) {
        if (target != path) {
            ASSERT_TRUE(WriteFileReplacing(target, "small").Ok());
        }
        std::string before = TestFiles::Read(target);
        SaveResult result = WriteFileReplacing(target, std::string(100 * 1024, 'n'));
        EXPECT_EQ(result.status, SaveStatus::Failed);
        EXPECT_EQ(result.error, disk.ExpectedError());
        EXPECT_FALSE(result.Reason().empty());
        EXPECT_EQ(CouldNotSaveText("x.xo", result),
                  "Could not save file (x.xo): " + result.Reason());
        EXPECT_EQ(TestFiles::Read(target), before);
    }
    EXPECT_EQ(EntriesIn(files.Path("disk")), 3u);
}

TEST(ReplacingFile, ChecksTheFolderBeforeAnyWork) {
    TestFiles files;
    EXPECT_EQ(ReplacingFile::Check(files.Path("none/x.xo")).error, ENOENT);
    fs::create_directories(files.Path("folder.xo"));
    EXPECT_EQ(ReplacingFile::Check(files.Path("folder.xo")).error, EISDIR);
    EXPECT_EQ(WriteFileReplacing(files.Path("folder.xo"), "x").error, EISDIR);
    EXPECT_TRUE(ReplacingFile::Check(files.Path("new.xo")).Ok());
    EXPECT_FALSE(fs::exists(files.Path("new.xo")));
}

TEST(ReplacingFile, TemporaryFilesOfProcessesThatAreGoneAreRemoved) {
    TestFiles files;
    std::string path = files.Write("site.xo", "old");
    // A save killed before it finished leaves its temporary file beside the index.
    pid_t child = fork();
    if (child == 0) {
        auto* file = new ReplacingFile(path);
        file->Stream() << "half";
        file->Stream().flush();
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    std::string killed;
    for (const auto& entry : fs::directory_iterator(files.Path(""))) {
        if (entry.path().filename().string().starts_with("site.xo.tmp" + std::to_string(child))) {
            killed = entry.path().string();
        }
    }
    ASSERT_FALSE(killed.empty());
    // Another save still running, the copy a cut-short write through keeps, and files that
    // are not ours.
    const std::string running = files.Write("site.xo.tmp" + std::to_string(getppid()) + "-4", "");
    const std::string kept = files.Write("site.xo.tmp" + std::to_string(GonePid()) + "-2.old", "");
    const std::string others[] = {
        files.Write("site.xo.tmpfile", ""),
        files.Write("other.xo.tmp" + std::to_string(GonePid()) + "-1", "")};
    ASSERT_TRUE(WriteFileReplacing(path, "new").Ok());
    EXPECT_FALSE(fs::exists(killed));
    EXPECT_TRUE(fs::exists(running));
    EXPECT_TRUE(fs::exists(kept));
    for (const std::string& other : others) {
        EXPECT_TRUE(fs::exists(other)) << other;
    }
}

TEST(ReplacingFile, ScanFilesInTheTemporaryFolderAreNamedAfterTheirProcess) {
    TestFiles files;
    std::string folder = files.Path("tmp");
    fs::create_directories(folder);
    const char* oldTmp = getenv("TMPDIR");
    std::string saved = oldTmp ? oldTmp : "";
    setenv("TMPDIR", folder.c_str(), 1);
    std::string gone = std::to_string(GonePid());
    const std::string stale[] = {files.Write("tmp/XoTmp" + gone + "-a1b2c3", "x"),
                                 files.Write("tmp/XoTmp" + gone + "-a1b2c3.new", "x")};
    const std::string alive[] = {files.Write("tmp/XoTmp" + std::to_string(getppid()) + "-zz", "x"),
                                 files.Write("tmp/XoTmpABCDEF", "x"),
                                 files.Write("tmp/Other" + gone + "-x", "x")};
    OwnTemporaryFile temporary("XoTmp");
    oldTmp ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
    ASSERT_GE(temporary.Fd(), 0);
    close(temporary.Fd());
    EXPECT_EQ(fs::path(temporary.Path()).parent_path(), fs::path(folder));
    EXPECT_TRUE(fs::path(temporary.Path())
                    .filename()
                    .string()
                    .starts_with("XoTmp" + std::to_string(getpid()) + "-"));
    for (const std::string& path : stale) {
        EXPECT_FALSE(fs::exists(path)) << path;
    }
    for (const std::string& path : alive) {
        EXPECT_TRUE(fs::exists(path)) << path;
    }
}

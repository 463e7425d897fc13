// Saving the cache and the change log when the disk will not take them: the previous files
// stay byte for byte and load intact, the data in memory stays, and the failure is only a
// false result (nothing is shown to the user).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

#include "hardening/hardening_support.h"
#include "store/data_file.h"

#ifdef __linux__
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// The previous files of a folder and what a newer, larger save would put in their place.
struct SaveScene {
    std::string cachePath, logPath;
    Bytes previousCache, previousLog;
    Bytes loadedPrevious;  // the image of the store the previous cache loads into
    std::unique_ptr<StreamParser> newer = SampleStore(60, 2);
    ChangeLog newerLog = NumberedLog(150);

    explicit SaveScene(const std::string& dir)
        : cachePath(dir + "/Moxel_LumaraList.dat"), logPath(dir + "/Moxel_LumaraList.upd") {}

    // False when the previous files could not be written.
    bool WritePrevious()
    {
        if (!SaveEventCache(SampleStore(10)->store, cachePath.c_str())) return false;
        if (!SaveChangeLog(NumberedLog(3), logPath.c_str())) return false;
        previousCache = ReadFileBytes(cachePath);
        previousLog = ReadFileBytes(logPath);
        StreamParser loaded;
        if (!LoadEventCache(loaded.store, cachePath.c_str())) return false;
        return BuildEventCacheImage(loaded.store, loadedPrevious);
    }

    // Empty when the failed saves kept everything; otherwise what broke.
    std::string SaveFailsAndKeepsEverything()
    {
        const Bytes newerImage = CacheImage(*newer);
        if (SaveEventCache(newer->store, cachePath.c_str())) return "cache save reported success";
        if (SaveChangeLog(newerLog, logPath.c_str())) return "change-log save reported success";
        if (ReadFileBytes(cachePath) != previousCache) return "previous cache changed";
        if (ReadFileBytes(logPath) != previousLog) return "previous change log changed";
        if (FileExists(cachePath + ".tmp") || FileExists(logPath + ".tmp")) return "temporary file left";
        StreamParser loaded;
        Bytes image;
        if (!LoadEventCache(loaded.store, cachePath.c_str()) || !BuildEventCacheImage(loaded.store, image) ||
            image != loadedPrevious)
            return "previous cache does not load intact";
        ChangeLog log;
        if (!LoadChangeLog(log, logPath.c_str()) || log.Count() != 3) return "previous change log does not load";
        if (CacheImage(*newer) != newerImage || newerLog.Count() != 150) return "data in memory changed";
        return "";
    }
};

class DiskFaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinJapanTime();
        m_dir = fs::absolute(std::string("hardening_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override
    {
        SetDataFileWriteForTesting(nullptr);
        SetFileOpener(nullptr, nullptr);
        std::error_code error;
        fs::remove_all(m_dir, error);
    }
    fs::path m_dir;
};

TEST_F(DiskFaultTest, FolderThatIsAFileTakesNothing)
{
    // A regular file where the folder should be: no user, root included, can create in it.
    const std::string notAFolder = (m_dir / "host.exe").string();
    std::FILE* f = std::fopen(notAFolder.c_str(), "wb");
    ASSERT_NE(nullptr, f);
    std::fputs("MZ", f);
    std::fclose(f);
    SaveScene scene(notAFolder);
    EXPECT_FALSE(SaveEventCache((scene.newer)->store, scene.cachePath.c_str()));
    EXPECT_FALSE(SaveChangeLog(scene.newerLog, scene.logPath.c_str()));
    EXPECT_EQ(Bytes({'M', 'Z'}), ReadFileBytes(notAFolder));
    StreamParser untouched;
    EXPECT_FALSE(LoadEventCache(untouched.store, scene.cachePath.c_str()));
    EXPECT_EQ(150u, scene.newerLog.Count());
}

TEST_F(DiskFaultTest, TemporaryNameOrTargetTakenByAFolder)
{
    SaveScene scene(m_dir.string());
    ASSERT_TRUE(scene.WritePrevious());
    // A folder squats the temporary name: the save cannot start.
    fs::create_directory(scene.cachePath + ".tmp");
    fs::create_directory(scene.logPath + ".tmp");
    EXPECT_FALSE(SaveEventCache((scene.newer)->store, scene.cachePath.c_str()));
    EXPECT_FALSE(SaveChangeLog(scene.newerLog, scene.logPath.c_str()));
    EXPECT_EQ(scene.previousCache, ReadFileBytes(scene.cachePath));
    EXPECT_EQ(scene.previousLog, ReadFileBytes(scene.logPath));
    fs::remove(scene.cachePath + ".tmp");
    fs::remove(scene.logPath + ".tmp");

    // A folder stands where the file should be: the written temporary file is removed.
    const std::string folderTarget = (m_dir / "folder.dat").string();
    fs::create_directory(folderTarget);
    EXPECT_FALSE(SaveEventCache((scene.newer)->store, folderTarget.c_str()));
    EXPECT_FALSE(FileExists(folderTarget + ".tmp"));
    EXPECT_TRUE(fs::is_directory(folderTarget));
}

std::FILE* RefuseWriting(const char* path, const char* mode) { return *mode == 'w' ? nullptr : std::fopen(path, mode); }

TEST_F(DiskFaultTest, StaleTemporaryFileOfAnInterruptedSaveIsOverwritten)
{
    SaveScene scene(m_dir.string());
    ASSERT_TRUE(scene.WritePrevious());
    const auto leaveStale = [&] {
        std::FILE* f = std::fopen((scene.cachePath + ".tmp").c_str(), "wb");
        ASSERT_NE(nullptr, f);
        std::fputs("Epg01 half a record", f);
        std::fclose(f);
    };
    leaveStale();
    ASSERT_TRUE(SaveEventCache((scene.newer)->store, scene.cachePath.c_str()));
    EXPECT_EQ(CacheImage(*scene.newer), ReadFileBytes(scene.cachePath));
    EXPECT_FALSE(FileExists(scene.cachePath + ".tmp"));

    // One that cannot be opened for writing never takes the cache's place.
    leaveStale();
    SetFileOpener(&RefuseWriting, nullptr);
    EXPECT_FALSE(SaveEventCache(SampleStore(10)->store, scene.cachePath.c_str()));
    EXPECT_EQ(CacheImage(*scene.newer), ReadFileBytes(scene.cachePath));
}

#ifdef __linux__

// Runs body in a child with a mount namespace of its own, so its mounts vanish with it.
// Returns the child's exit code; kSkipped when the child could not mount.
constexpr int kSkipped = 77;
int InChild(const std::function<std::string()>& body, bool ownMounts)
{
    std::fflush(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        if (ownMounts && (unshare(CLONE_NEWNS) != 0 || mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0))
            _exit(kSkipped);
        const std::string failure = body();
        if (!failure.empty()) std::fprintf(stderr, "%s\n", failure.c_str());
        std::fflush(nullptr);
        _exit(failure.empty() ? 0 : failure == "skip" ? kSkipped : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST_F(DiskFaultTest, ReadOnlyFolderKeepsThePreviousFiles)
{
    // Root ignores permission bits, so the folder is a file system mounted read-only.
    const std::string dir = m_dir.string();
    const int result = InChild(
        [&]() -> std::string {
            if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=4m") != 0) return "skip";
            SaveScene scene(dir);
            if (!scene.WritePrevious()) return "previous files not written";
            if (mount("tmpfs", dir.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0) return "skip";
            return scene.SaveFailsAndKeepsEverything();
        },
        true);
    if (result == kSkipped) GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(0, result);
}

TEST_F(DiskFaultTest, FullDiskKeepsThePreviousFilesAndRecovers)
{
    const std::string dir = m_dir.string();
    const int result = InChild(
        [&]() -> std::string {
            if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=512k") != 0) return "skip";
            SaveScene scene(dir);
            if (!scene.WritePrevious()) return "previous files not written";
            // Fill what is left, then free a little: the saves start, then run out of room.
            const std::string filler = dir + "/filler";
            std::FILE* f = std::fopen(filler.c_str(), "wb");
            if (!f) return "no filler";
            const Bytes block(4096, 0x5A);
            while (std::fwrite(block.data(), 1, block.size(), f) == block.size() && std::fflush(f) == 0) {
            }
            std::fclose(f);
            if (truncate(filler.c_str(), static_cast<off_t>(fs::file_size(filler) - 4096)) != 0) return "truncate";
            const std::string failure = scene.SaveFailsAndKeepsEverything();
            if (!failure.empty()) return failure;
            // Room again: the next save goes through.
            std::remove(filler.c_str());
            if (!SaveEventCache((scene.newer)->store, scene.cachePath.c_str())) return "save after freeing space failed";
            if (ReadFileBytes(scene.cachePath) != CacheImage(*scene.newer)) return "saved cache differs";
            return "";
        },
        true);
    if (result == kSkipped) GTEST_SKIP() << "no mount namespace here";
    EXPECT_EQ(0, result);
}

TEST_F(DiskFaultTest, FileSizeLimitFailsTheWriteNotThePreviousFiles)
{
    // The same refusal as a full disk from the system itself, without mounting: writes past
    // the limit fail with EFBIG.
    const std::string dir = m_dir.string();
    const int result = InChild(
        [&]() -> std::string {
            SaveScene scene(dir);
            if (!scene.WritePrevious()) return "previous files not written";
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{1024, 1024};
            if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return "setrlimit";
            return scene.SaveFailsAndKeepsEverything();
        },
        false);
    EXPECT_EQ(0, result);
}

#endif  // __linux__

// Fails every write once a byte budget is spent (the injected form of a full disk, which
// runs on every platform).
size_t g_budget = 0;
size_t WriteWithinBudget(const void* data, size_t size, std::FILE* file)
{
    const size_t take = size < g_budget ? size : g_budget;
    g_budget -= take;
    return std::fwrite(data, 1, take, file);
}

TEST_F(DiskFaultTest, WriteFailingAtAnyPointKeepsThePreviousFiles)
{
    SaveScene scene(m_dir.string());
    ASSERT_TRUE(scene.WritePrevious());
    ASSERT_GT(CacheImage(*scene.newer).size(), 70000u);  // the cache save spends every budget
    SetDataFileWriteForTesting(&WriteWithinBudget);
    for (size_t budget : {size_t{0}, size_t{4}, size_t{5000}, size_t{65536}, size_t{70000}}) {
        SCOPED_TRACE(budget);
        g_budget = budget;
        EXPECT_EQ("", scene.SaveFailsAndKeepsEverything());
    }
}

}  // namespace

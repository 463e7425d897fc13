// Windows: another program holds the cache or the change log open without sharing (a
// backup or a virus scanner). The save fails quietly, the file stays as it was, the data in
// memory stays, and once the handle is closed the previous file loads and the next save
// goes through.
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hardening/hardening_support.h"
#include "store/data_file.h"
#include "store/win32/file_replace_win32.h"

namespace {

// Opens the file for reading and denies every other open, as a locking program does.
int LockExclusively(const std::string& path)
{
    int fd = -1;
    _sopen_s(&fd, path.c_str(), _O_RDONLY | _O_BINARY, _SH_DENYRW, _S_IREAD);
    return fd;
}

class LockedFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        PinJapanTime();
        InstallWin32FileReplacer();
    }
    void TearDown() override
    {
        SetFileReplacer(nullptr);
        for (const std::string& path : {m_cache, m_log}) {
            std::remove(path.c_str());
            std::remove((path + ".tmp").c_str());
        }
    }
    std::string m_cache = "hardening_locked.dat", m_log = "hardening_locked.upd";
};

TEST_F(LockedFileTest, SaveOverALockedFileKeepsItAndSucceedsOnceReleased)
{
    ASSERT_TRUE(SaveEventCache(SampleStore(10)->store, m_cache.c_str()));
    ASSERT_TRUE(SaveChangeLog(NumberedLog(3), m_log.c_str()));
    const Bytes previousCache = ReadFileBytes(m_cache), previousLog = ReadFileBytes(m_log);
    const auto newer = SampleStore(60, 2);
    const ChangeLog newerLog = NumberedLog(150);
    const Bytes newerImage = CacheImage(*newer);

    const int cacheLock = LockExclusively(m_cache), logLock = LockExclusively(m_log);
    ASSERT_GE(cacheLock, 0);
    ASSERT_GE(logLock, 0);
    EXPECT_FALSE(SaveEventCache(newer->store, m_cache.c_str()));
    EXPECT_FALSE(SaveChangeLog(newerLog, m_log.c_str()));
    EXPECT_FALSE(FileExists(m_cache + ".tmp"));
    EXPECT_FALSE(FileExists(m_log + ".tmp"));
    // Loading while it is locked leaves the store as it was.
    StreamParser whileLocked;
    EXPECT_FALSE(LoadEventCache(whileLocked.store, m_cache.c_str()));
    _close(cacheLock);
    _close(logLock);

    EXPECT_EQ(previousCache, ReadFileBytes(m_cache));
    EXPECT_EQ(previousLog, ReadFileBytes(m_log));
    StreamParser loaded;
    ASSERT_TRUE(LoadEventCache(loaded.store, m_cache.c_str()));
    EXPECT_EQ(SampleStore(10)->store.serviceCount, loaded.store.serviceCount);
    ChangeLog log;
    ASSERT_TRUE(LoadChangeLog(log, m_log.c_str()));
    EXPECT_EQ(3u, log.Count());
    EXPECT_EQ(newerImage, CacheImage(*newer));
    EXPECT_EQ(150u, newerLog.Count());

    ASSERT_TRUE(SaveEventCache(newer->store, m_cache.c_str()));
    EXPECT_EQ(newerImage, ReadFileBytes(m_cache));
}

}  // namespace
#endif  // _WIN32

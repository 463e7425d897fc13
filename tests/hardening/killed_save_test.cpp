// A process killed while it saves: whatever the moment, the cache and the change log on disk
// are each one complete version that loads intact.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "hardening/hardening_support.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

constexpr int kRounds = 40;

int64_t NowMicroseconds()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<int64_t>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

struct Versions {
    std::unique_ptr<StreamParser> storeA = SampleStore(10);
    std::unique_ptr<StreamParser> storeB = SampleStore(120, 8);
    ChangeLog logA = NumberedLog(4);
    ChangeLog logB = NumberedLog(130, 1900000000);
};

// Saves the two versions in turn for ever; one byte on the pipe once the first pair is
// written.
[[noreturn]] void SaveForEver(const Versions& v, const std::string& cache, const std::string& upd, int ready)
{
    for (long i = 0;; ++i) {
        const bool b = i % 2 == 0;
        SaveEventCache(b ? v.storeB->store : v.storeA->store, cache.c_str());
        SaveChangeLog(b ? v.logB : v.logA, upd.c_str());
        if (i == 1 && write(ready, "x", 1) != 1) _exit(2);
    }
}

TEST(KilledSaveTest, FilesAreAlwaysOneWholeVersion)
{
    PinJapanTime();
    const std::string cache = "hardening_killed.dat", upd = "hardening_killed.upd";
    const Versions v;
    const Bytes cacheA = CacheImage(*v.storeA), cacheB = CacheImage(*v.storeB);
    const Bytes logA = ChangeLogImage(v.logA, "hardening_scratch.upd"), logB = ChangeLogImage(v.logB, "hardening_scratch.upd");
    ASSERT_TRUE(SaveEventCache((v.storeA)->store, cache.c_str()));
    ASSERT_TRUE(SaveChangeLog(v.logA, upd.c_str()));

    // Kills land anywhere within about three saves of the large version.
    const int64_t begin = NowMicroseconds();
    ASSERT_TRUE(SaveEventCache((v.storeB)->store, cache.c_str()));
    ASSERT_TRUE(SaveChangeLog(v.logB, upd.c_str()));
    const int64_t span = 3 * (NowMicroseconds() - begin) + 50;

    std::mt19937 random(20261207);
    int seenA = 0, seenB = 0, midSave = 0;
    for (int round = 0; round < kRounds; ++round) {
        int ready[2];
        ASSERT_EQ(0, pipe(ready));
        std::fflush(nullptr);
        const pid_t child = fork();
        if (child == 0) {
            close(ready[0]);
            SaveForEver(v, cache, upd, ready[1]);
        }
        close(ready[1]);
        char byte;
        ASSERT_EQ(1, read(ready[0], &byte, 1));
        close(ready[0]);
        usleep(static_cast<useconds_t>(random() % span));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));

        SCOPED_TRACE(round);
        if (FileExists(cache + ".tmp") || FileExists(upd + ".tmp")) ++midSave;  // killed inside a save
        const Bytes onDisk = ReadFileBytes(cache);
        ASSERT_TRUE(onDisk == cacheA || onDisk == cacheB) << "cache of " << onDisk.size() << " bytes";
        (onDisk == cacheA ? seenA : seenB)++;
        StreamParser loaded;
        ASSERT_TRUE(LoadEventCache(loaded.store, cache.c_str()));
        EXPECT_EQ((onDisk == cacheA ? v.storeA : v.storeB)->store.serviceCount, loaded.store.serviceCount);
        const Bytes logOnDisk = ReadFileBytes(upd);
        ASSERT_TRUE(logOnDisk == logA || logOnDisk == logB) << "change log of " << logOnDisk.size() << " bytes";
        ChangeLog log;
        ASSERT_TRUE(LoadChangeLog(log, upd.c_str()));
        EXPECT_EQ(logOnDisk == logA ? 4u : 100u, log.Count());
    }
    // The next save after a kill goes through, whatever the kill left behind.
    ASSERT_TRUE(SaveEventCache((v.storeA)->store, cache.c_str()));
    EXPECT_EQ(cacheA, ReadFileBytes(cache));
    EXPECT_FALSE(FileExists(cache + ".tmp"));
    RecordProperty("killsOnVersionA", seenA);
    RecordProperty("killsOnVersionB", seenB);
    RecordProperty("killsInsideASave", midSave);
    for (const std::string& path : {cache, upd}) {
        std::remove(path.c_str());
        std::remove((path + ".tmp").c_str());
    }
}

}  // namespace

#endif  // _WIN32

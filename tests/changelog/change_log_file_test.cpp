#include "changelog/change_log_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "changelog/change_test_support.h"
#include "store/data_file.h"

namespace {

EventSnapshot Side(int64_t start, const std::string& name, uint8_t video = 0xB3, uint8_t audio = 0x03,
                   uint8_t genre = 0x7)
{
    EventSnapshot s;
    s.start = start;
    s.end = start + 1800;
    s.videoType = video;
    s.audioType = audio;
    s.genre = genre;
    s.nameLength = static_cast<uint16_t>(name.size());
    std::memcpy(s.name, name.data(), name.size());
    return s;
}

ChangeRecord Numbered(int i)
{
    ChangeRecord r;
    r.serviceId = static_cast<uint16_t>(0x0400 + i);
    if (i % 3 != 0) r.before = Side(1800000000 + i * 60, "old " + std::to_string(i));
    if (i % 3 != 1) r.after = Side(1800000000 + i * 90, "new " + std::to_string(i), 0x01, 0x09, uint8_t(i % 16));
    return r;
}

void ExpectSameSide(const EventSnapshot& a, const EventSnapshot& b)
{
    EXPECT_EQ(a.start, b.start);
    EXPECT_EQ(a.end, b.end);
    EXPECT_EQ(a.videoType, b.videoType);
    EXPECT_EQ(a.audioType, b.audioType);
    EXPECT_EQ(a.genre, b.genre);
    EXPECT_EQ(NameOf(a), NameOf(b));
}

void ExpectSameRecord(const ChangeRecord& a, const ChangeRecord& b)
{
    EXPECT_EQ(a.serviceId, b.serviceId);
    ExpectSameSide(a.before, b.before);
    ExpectSameSide(a.after, b.after);
}

size_t g_writeBudget = 0;
size_t WriteWithinBudget(const void* data, size_t size, std::FILE* file)
{
    size_t take = size < g_writeBudget ? size : g_writeBudget;
    g_writeBudget -= take;
    return std::fwrite(data, 1, take, file);
}

class ChangeLogFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_path = TestFileName(".upd");
        std::remove(m_path.c_str());
    }
    void TearDown() override
    {
        SetDataFileWriteForTesting(nullptr);
        std::remove(m_path.c_str());
        std::remove((m_path + ".tmp").c_str());
    }
    std::string m_path;
};

TEST(ChangeLogTest, AppendsAtTheEndAndRemovesFromTheFront)
{
    ChangeLog log;
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(log.Append(Numbered(i)));
    ASSERT_EQ(5u, log.Count());
    EXPECT_EQ(0x0402, log[2].serviceId);
    EXPECT_TRUE(log.HasService(0x0404));
    EXPECT_FALSE(log.HasService(0x0405));

    log.RemoveFirst(2);
    ASSERT_EQ(3u, log.Count());
    uint16_t expected = 0x0402;
    for (const ChangeRecord& r : log) EXPECT_EQ(expected++, r.serviceId);
    EXPECT_FALSE(log.HasService(0x0400));
    log.RemoveFirst(10);
    EXPECT_EQ(0u, log.Count());
    log.Append(Numbered(1));
    log.Clear();
    EXPECT_EQ(0u, log.Count());
}

TEST_F(ChangeLogFileTest, RecordIsWrittenFieldByField)
{
    ChangeLog log;
    ChangeRecord r;
    r.serviceId = 0x1234;
    r.after = Side(0x0102030405060708, "ABC", 0xB1, 0x02, 0x5);
    log.Append(r);
    ASSERT_TRUE(SaveChangeLog(log, m_path.c_str()));
    Bytes expected = Raw("Upd00");
    Bytes record = {
        0x34, 0x12,                                      // serviceId
        0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // before.start, before.end
        0, 0, 0,                                         // before types
        0, 0,                                            // before name length
        8, 7, 6, 5, 4, 3, 2, 1,                          // after.start
        0x10, 0x0E, 6, 5, 4, 3, 2, 1,                    // after.end = start + 1800
        0xB1, 0x02, 0x05,                                // after videoType, audioType, genre
        3, 0, 'A', 'B', 'C',                             // after name
    };
    expected.insert(expected.end(), record.begin(), record.end());
    EXPECT_EQ(expected, ReadFileBytes(m_path));
}

TEST_F(ChangeLogFileTest, FileKeepsTheNewestHundredInOrder)
{
    ChangeLog log;
    for (int i = 0; i < 150; ++i) log.Append(Numbered(i));
    ASSERT_TRUE(SaveChangeLog(log, m_path.c_str()));
    EXPECT_EQ(150u, log.Count());

    ChangeLog reloaded;
    reloaded.Append(Numbered(999));
    ASSERT_TRUE(LoadChangeLog(reloaded, m_path.c_str()));
    ASSERT_EQ(100u, reloaded.Count());
    for (size_t i = 0; i < 100; ++i) ExpectSameRecord(log[50 + i], reloaded[i]);
}

TEST_F(ChangeLogFileTest, AnyVersionLoadsButOnlyAnUpdHeader)
{
    ChangeLog log;
    log.Append(Numbered(1));
    log.Append(Numbered(2));
    ASSERT_TRUE(SaveChangeLog(log, m_path.c_str()));
    Bytes file = ReadFileBytes(m_path);

    ChangeLog loaded;
    file[3] = '4';
    file[4] = '2';
    ASSERT_TRUE(WriteFileBytes(m_path, file));
    ASSERT_TRUE(LoadChangeLog(loaded, m_path.c_str()));
    EXPECT_EQ(2u, loaded.Count());

    for (const char* header : {"UPD00", "upd00", "Upx00", "xUpd0"}) {
        std::memcpy(file.data(), header, 5);
        ASSERT_TRUE(WriteFileBytes(m_path, file));
        EXPECT_FALSE(LoadChangeLog(loaded, m_path.c_str())) << header;
        EXPECT_EQ(2u, loaded.Count()) << header;
    }
    ASSERT_TRUE(WriteFileBytes(m_path, Raw("Upd0")));
    EXPECT_FALSE(LoadChangeLog(loaded, m_path.c_str()));
    std::remove(m_path.c_str());
    EXPECT_FALSE(LoadChangeLog(loaded, m_path.c_str()));
    EXPECT_EQ(2u, loaded.Count());

    ASSERT_TRUE(WriteFileBytes(m_path, Raw("Upd00")));
    EXPECT_TRUE(LoadChangeLog(loaded, m_path.c_str()));
    EXPECT_EQ(0u, loaded.Count());
}

TEST_F(ChangeLogFileTest, CutInTheThirdRecordLoadsTwo)
{
    ChangeLog log;
    for (int i = 1; i <= 4; ++i) log.Append(Numbered(i));
    ASSERT_TRUE(SaveChangeLog(log, m_path.c_str()));
    Bytes file = ReadFileBytes(m_path);
    size_t third = kChangeLogHeaderBytes;
    for (int i = 0; i < 2; ++i) third += kChangeRecordFixedBytes + log[size_t(i)].before.nameLength + log[size_t(i)].after.nameLength;
    size_t fourth = third + kChangeRecordFixedBytes + log[2].before.nameLength + log[2].after.nameLength;
    for (size_t cut = third + 1; cut < fourth; ++cut) {  // every field, the name bytes included
        ASSERT_TRUE(WriteFileBytes(m_path, Bytes(file.begin(), file.begin() + long(cut))));
        ChangeLog loaded;
        ASSERT_TRUE(LoadChangeLog(loaded, m_path.c_str()));
        ASSERT_EQ(2u, loaded.Count()) << cut;
        ExpectSameRecord(log[1], loaded[1]);
    }
}

TEST_F(ChangeLogFileTest, OverlongStoredNameKeepsItsFirstHundredBytesAndTheFraming)
{
    ChangeLog log;
    log.Append(Numbered(2));
    ASSERT_TRUE(SaveChangeLog(log, m_path.c_str()));
    Bytes file = ReadFileBytes(m_path);
    // Rewrite the first record's after name as 120 bytes, then repeat the record.
    size_t lengthAt = kChangeLogHeaderBytes + 2 + 21 + log[0].before.nameLength + 19;
    Bytes longName(120, 'n');
    Bytes edited(file.begin(), file.begin() + long(lengthAt));
    edited.push_back(120);
    edited.push_back(0);
    edited.insert(edited.end(), longName.begin(), longName.end());
    Bytes again(edited.begin() + long(kChangeLogHeaderBytes), edited.end());
    edited.insert(edited.end(), again.begin(), again.end());
    ASSERT_TRUE(WriteFileBytes(m_path, edited));

    ChangeLog loaded;
    ASSERT_TRUE(LoadChangeLog(loaded, m_path.c_str()));
    ASSERT_EQ(2u, loaded.Count());
    EXPECT_EQ(std::string(100, 'n'), NameOf(loaded[1].after));
    EXPECT_EQ(log[0].serviceId, loaded[1].serviceId);
}

TEST_F(ChangeLogFileTest, FailedSaveLeavesThePreviousFileAndTheLog)
{
    ChangeLog log;
    for (int i = 0; i < 3; ++i) log.Append(Numbered(i));
    ASSERT_TRUE(SaveChangeLog(log, m_path.c_str()));
    const Bytes previous = ReadFileBytes(m_path);

    for (int i = 3; i < 60; ++i) log.Append(Numbered(i));
    g_writeBudget = 1000;
    SetDataFileWriteForTesting(&WriteWithinBudget);
    EXPECT_FALSE(SaveChangeLog(log, m_path.c_str()));
    SetDataFileWriteForTesting(nullptr);
    EXPECT_EQ(60u, log.Count());
    EXPECT_EQ(previous, ReadFileBytes(m_path));
    EXPECT_EQ(nullptr, std::fopen((m_path + ".tmp").c_str(), "rb"));

    ChangeLog loaded;
    ASSERT_TRUE(LoadChangeLog(loaded, m_path.c_str()));
    ASSERT_EQ(3u, loaded.Count());
    ExpectSameRecord(log[2], loaded[2]);
}

}  // namespace

#include "changelog/update_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <numeric>
#include <tuple>

#include "change_test_support.h"
#include "changelog/change_detection.h"
#include "changelog/change_log_file.h"
#include "changelog/difference_text.h"
#include "changelog/update_pinning.h"
#include "changelog/update_row_paint.h"
#include "store/programme_store.h"
#include "support/arib_encoder.h"
#include "support/japan_time.h"
#include "support/section_builder.h"
#include "support/sjis_text.h"
#include "broadcast/broadcast_time.h"
#include "ts/stream_parser.h"

namespace {

std::string Sjis(std::u8string_view utf8) { return Utf8ToShiftJis(Utf8(utf8)); }

// The pieces as readable text: marked pieces in brackets.
std::string Marked(const std::vector<TextPiece>& pieces)
{
    std::string out;
    for (const TextPiece& piece : pieces) {
        const std::string text = ShiftJisToUtf8(piece.text);
        out += piece.difference ? "[" + text + "]" : text;
    }
    return out;
}

void ExpectWellFormed(const std::vector<TextPiece>& pieces, const std::string& a)
{
    std::string joined;
    for (size_t i = 0; i < pieces.size(); ++i) {
        joined += pieces[i].text;
        EXPECT_EQ(i == 0, pieces[i].margins) << "piece " << i;
    }
    EXPECT_EQ(a, joined);
}

TEST(DifferencePiecesTest, MovedProgrammeMarksOnlyTheTensOfTheMinutesInEachCell)
{
    const std::string before = Sjis(u8"21:00～22:00 ニュース７");
    const std::string after = Sjis(u8"21:30～22:30 ニュース７");
    const auto oldPieces = DifferencePieces(before, after);
    const auto newPieces = DifferencePieces(after, before);
    ExpectWellFormed(oldPieces, before);
    ExpectWellFormed(newPieces, after);
    EXPECT_EQ(Utf8(u8"21:[0]0～22:[0]0 ニュース７"), Marked(oldPieces));
    EXPECT_EQ(Utf8(u8"21:[3]0～22:[3]0 ニュース７"), Marked(newPieces));
}

TEST(DifferencePiecesTest, InsertedWordIsMarkedOnlyInTheNewText)
{
    const std::string before = Sjis(u8"20:00～21:00 世界の天気と暮らしの話");
    const std::string after = Sjis(u8"20:00～21:00 世界の最新天気と暮らしの話");
    EXPECT_EQ(ShiftJisToUtf8(before), Marked(DifferencePieces(before, after)));
    EXPECT_EQ(Utf8(u8"20:00～21:00 世界の[最新]天気と暮らしの話"), Marked(DifferencePieces(after, before)));
}

TEST(DifferencePiecesTest, DoubleByteCharactersAreMarkedWhole)
{
    // あ and い share their lead byte 0x82: the whole character differs, not just its second byte.
    const std::string a = Sjis(u8"あいう");
    const std::string b = Sjis(u8"ああう");
    const auto pieces = DifferencePieces(a, b);
    ExpectWellFormed(pieces, a);
    EXPECT_EQ(Utf8(u8"あ[い]う"), Marked(pieces));
    EXPECT_EQ(Utf8(u8"[い]う"), Marked(DifferencePieces(Sjis(u8"いう"), Sjis(u8"あう"))));  // from the first byte
    // Taken one character at a time where nothing agrees again, and still whole.
    EXPECT_EQ(Utf8(u8"[あ漢]"), Marked(DifferencePieces(Sjis(u8"あ漢"), Sjis(u8"表a"))));
}

TEST(DifferencePiecesTest, TailsAndEmptyTexts)
{
    EXPECT_EQ("abc[def]", Marked(DifferencePieces("abcdef", "abc")));
    EXPECT_EQ("abc", Marked(DifferencePieces("abc", "abcdef")));
    EXPECT_EQ("[abc]", Marked(DifferencePieces("abc", "")));
    EXPECT_TRUE(DifferencePieces("", "abc").empty());
    // The resynchronising search stops short of the last six bytes of either text.
    EXPECT_EQ("[Xabcde][f]", Marked(DifferencePieces("Xabcdef", "abcdef")));
    EXPECT_EQ("[abcdef]", Marked(DifferencePieces("abcdef", "Xabcdef")));
    EXPECT_EQ("[X]abcdefgh", Marked(DifferencePieces("Xabcdefgh", "abcdefgh")));
    EXPECT_EQ("abcdefgh", Marked(DifferencePieces("abcdefgh", "Xabcdefgh")));
    // A lone lead byte at the end of both texts is never read past.
    const std::string cut = std::string("ab") + '\x82';
    ExpectWellFormed(DifferencePieces(cut, cut), cut);
    ExpectWellFormed(DifferencePieces(cut, std::string("ab") + '\x83'), cut);
}

class UpdateViewTest : public ::testing::Test {
protected:
    void SetUp() override { PinJapanTime(); }

    ServiceEntry& AddService(uint16_t id, std::u8string_view name, std::u8string_view tsName = u8"",
                             uint16_t channel = 0)
    {
        ServiceEntry& s = *parser.store.services[FindOrAddService(parser.store, id)];
        const Bytes raw = EncodeArib(name);
        const Bytes ts = EncodeArib(tsName);
        s.serviceNameLength = static_cast<uint16_t>(raw.size());
        if (!raw.empty()) std::memcpy(s.serviceName, raw.data(), raw.size());
        s.tsNameLength = static_cast<uint16_t>(ts.size());
        if (!ts.empty()) std::memcpy(s.tsName, ts.data(), ts.size());
        s.channel = channel;
        return s;
    }
    static EventSnapshot Side(int day, int hour, int minute, int minutes, std::u8string_view name)
    {
        EventSnapshot side;
        side.start = LocalTimeStamp(2026, 12, day, hour, minute, 0);
        side.end = side.start + minutes * 60;
        const Bytes raw = EncodeArib(name);
        side.nameLength = static_cast<uint16_t>(raw.size());
        if (!raw.empty()) std::memcpy(side.name, raw.data(), raw.size());
        return side;
    }
    void Add(uint16_t serviceId, const EventSnapshot& before, const EventSnapshot& after)
    {
        ASSERT_TRUE(log.Append({serviceId, before, after}));
    }
    // Record indices in the order the list view's sort leaves them.
    std::vector<size_t> SortedBy(int column)
    {
        FlipSortDirection(directions, column);
        std::vector<size_t> order(log.Count());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
            return CompareChangeRows(log, static_cast<intptr_t>(a), static_cast<intptr_t>(b), column, directions) < 0;
        });
        return order;
    }

    StreamParser parser;
    ChangeLog log;
    UpdateSortDirections directions;
};

TEST_F(UpdateViewTest, NameMapTakesTheNetworkNameOnlyForTheFirstOfAConsecutiveRun)
{
    AddService(1, u8"一", u8"網");
    AddService(1024, u8"ＮＨＫ総合１", u8"ＮＨＫ総合");
    AddService(1025, u8"ＮＨＫ総合２", u8"ＮＨＫ総合");
    AddService(1032, u8"", u8"", 27);
    AddService(1040, u8"");
    // 50 bytes of hiragana in GR decode to 100 bytes, cut to the whole characters within 99.
    ServiceEntry& longest = AddService(1048, u8"");
    std::memset(longest.serviceName, 0xA2, kNameBytes);
    longest.serviceNameLength = kNameBytes;
    const UpdateNameMap names = BuildUpdateNameMap(parser.store);
    EXPECT_EQ(Sjis(u8"網"), names.at(1)) << "service id 1 follows nothing";
    EXPECT_EQ(Sjis(u8"ＮＨＫ総合"), names.at(1024));
    EXPECT_EQ(Sjis(u8"ＮＨＫ総合２"), names.at(1025));
    EXPECT_EQ("27ch", names.at(1032));
    EXPECT_EQ("1040", names.at(1040));
    std::string fortyNine;
    for (int i = 0; i < 49; ++i) fortyNine += Sjis(u8"あ");
    EXPECT_EQ(fortyNine, names.at(1048));
}

TEST_F(UpdateViewTest, ItemTextsOfAddedRemovedAndChangedProgrammes)
{
    AddService(1024, u8"ＮＨＫ総合１");
    Add(1024, {}, Side(8, 21, 0, 60, u8"ドラマ"));
    Add(1024, Side(7, 6, 5, 25, u8"天気"), {});
    Add(2000, Side(9, 21, 0, 60, u8"映画"), Side(10, 21, 30, 60, u8"映画"));
    const auto items = BuildUpdateList(log, &parser.store);
    ASSERT_EQ(3u, items.size());
    EXPECT_EQ(2u, items[2].recordIndex);
    EXPECT_EQ(Sjis(u8"ＮＨＫ総合１"), items[0].column[0]);
    EXPECT_EQ(Sjis(u8"2026/12/08(火)"), items[0].column[1]);
    EXPECT_EQ("", items[0].column[2]);
    EXPECT_EQ(Sjis(u8"21:00～22:00 ドラマ"), items[0].column[3]);
    EXPECT_EQ(Sjis(u8"2026/12/07(月)"), items[1].column[1]);
    EXPECT_EQ(Sjis(u8"06:05～06:30 天気"), items[1].column[2]);
    EXPECT_EQ("", items[1].column[3]);
    EXPECT_EQ("2000ch", items[2].column[0]) << "a service no longer stored";
    EXPECT_EQ(Sjis(u8"2026/12/09(水)"), items[2].column[1]) << "the date of the old side";
    EXPECT_EQ(Sjis(u8"21:30～22:30 映画"), items[2].column[3]);
    EXPECT_EQ("1024ch", BuildUpdateList(log, nullptr)[0].column[0]) << "no store: no names";
    const UpdateListItem cut = MakeUpdateListItem(log[0], 0, {{1024, std::string(300, 'A')}});
    EXPECT_EQ(std::string(kUpdateCellTextBytes, 'A'), cut.column[0]) << "as the list holds it";

    // The longest name a record keeps, 100 bytes: 99 kana (198 bytes) and a CR, which is cut.
    EventSnapshot longest = Side(7, 21, 0, 60, u8"");
    longest.nameLength = kEventNameBytes;
    std::memset(longest.name, 0xA4, kEventNameBytes - 1);
    longest.name[kEventNameBytes - 1] = 0x0D;
    Add(1024, {}, longest);
    std::string kana;
    for (int i = 0; i < kEventNameBytes - 1; ++i) kana += Sjis(u8"い");
    EXPECT_EQ(Sjis(u8"21:00～22:00 ") + kana, MakeUpdateListItem(log[3], 3, {}).column[3]);
}

TEST_F(UpdateViewTest, UndefinedTimesShowNoMadeUpTimesAndSurviveTheFile)
{
    ServiceEntry& service = AddService(1024, u8"総合");
    const auto receive = [&](uint8_t version, const BroadcastTime& start, int seconds) {
        EitSection eit{.serviceId = 1024, .version = version};
        eit.events.push_back({1, start, seconds, 0, ShortEventDescriptor(EncodeArib(u8"野球中継"), {})});
        Receive(service, 0, MakeEit(eit));
        DetectScheduleChanges(parser.store, log, nullptr);
    };
    receive(1, {2026, 12, 7, 20, 0, 0}, 3600);
    receive(2, {2026, 12, 7, 20, 0, 0}, kUndefinedDuration);  // may overrun
    receive(3, kUndefinedStart, 3600);
    const std::string path = TestFileName(".upd");
    ASSERT_TRUE(SaveChangeLog(log, path.c_str()));
    ChangeLog reloaded;
    ASSERT_TRUE(LoadChangeLog(reloaded, path.c_str()));
    std::remove(path.c_str());
    for (const ChangeLog* shown : {&log, &reloaded}) {
        const auto items = BuildUpdateList(*shown, &parser.store);
        ASSERT_EQ(3u, items.size());
        EXPECT_EQ(Sjis(u8"20:00～21:00 野球中継"), items[0].column[2]);
        EXPECT_EQ(Sjis(u8"20:00～ 野球中継"), items[0].column[3]) << "not 20:00～19:47";
        // Removed and added in an order that depends on where the platform puts the start.
        const bool removedFirst = items[1].column[3].empty();
        const UpdateListItem& removed = items[removedFirst ? 1 : 2];
        const UpdateListItem& added = items[removedFirst ? 2 : 1];
        EXPECT_EQ(Sjis(u8"20:00～ 野球中継"), removed.column[2]);
        EXPECT_EQ("", added.column[1]) << "no made-up date";
        EXPECT_EQ(Sjis(u8"野球中継"), added.column[3]);
    }
}

TEST_F(UpdateViewTest, DateSortsAscendingThenDescendingWithAddedProgrammesByTheirNewStart)
{
    Add(1, Side(7, 20, 0, 60, u8"Ｂ"), {});
    Add(2, {}, Side(7, 19, 0, 60, u8"Ａ"));
    Add(3, Side(7, 21, 0, 60, u8"Ｃ"), Side(7, 18, 0, 60, u8"Ｃ"));
    EXPECT_EQ((std::vector<size_t>{1, 0, 2}), SortedBy(kUpdateDateColumn));
    EXPECT_EQ((std::vector<size_t>{2, 0, 1}), SortedBy(kUpdateDateColumn));
    EXPECT_EQ((std::vector<size_t>{0, 1, 2}), SortedBy(kUpdateServiceColumn)) << "by service id";
    EXPECT_GT(0, CompareChangeRows(log, 0, 1, kUpdateServiceColumn, directions)) << "the first record compares too";
    EXPECT_EQ((std::vector<size_t>{2, 1, 0}), SortedBy(kUpdateServiceColumn));
    EXPECT_EQ((std::vector<size_t>{1, 0, 2}), SortedBy(kUpdateOldColumn)) << "empty title first";
    EXPECT_EQ(0, CompareChangeRows(log, 0, 7, kUpdateDateColumn, directions)) << "an index outside the log";
    EXPECT_EQ(0, CompareChangeRows(log, 3, 0, kUpdateDateColumn, directions)) << "just past its end";
    EXPECT_EQ(0, CompareChangeRows(log, 0, 1, 4, directions));
    for (int titles : {kUpdateOldColumn, kUpdateNewColumn}) EXPECT_EQ(0, CompareChangeRows(log, 2, 2, titles, directions));
}

TEST_F(UpdateViewTest, TitlesSortByTheirShiftJisBytesAsUnsigned)
{
    Add(1, Side(7, 20, 0, 60, u8"天気"), Side(7, 20, 0, 60, u8"天気"));  // 0x93 0x56
    Add(1, Side(7, 9, 0, 60, u8"News"), Side(7, 9, 0, 60, u8"News"));
    EXPECT_EQ((std::vector<size_t>{1, 0}), SortedBy(kUpdateNewColumn));
}

TEST_F(UpdateViewTest, ClearKeepsARecordThatArrivedAfterTheLastRefresh)
{
    Add(1, Side(7, 20, 0, 60, u8"Ａ"), {});
    Add(1, Side(7, 21, 0, 60, u8"Ｂ"), {});
    const auto shown = BuildUpdateList(log, &parser.store);
    Add(1, {}, Side(7, 22, 0, 60, u8"Ｃ"));
    EXPECT_EQ(2u, ClearShownChanges(log, static_cast<int>(shown.size())));
    const auto next = BuildUpdateList(log, &parser.store);
    ASSERT_EQ(1u, next.size());
    EXPECT_EQ(Sjis(u8"22:00～23:00 Ｃ"), next[0].column[3]);
    EXPECT_EQ(0u, ClearShownChanges(log, -1)) << "a count the list could not give";
    EXPECT_EQ(1u, ClearShownChanges(log, 5));
    EXPECT_EQ(0u, log.Count());
}

TEST(UpdatePinningTest, OpeningPinsClosingUnpinsTheSavedValueDecidesAtCreation)
{
    using E = UpdateDialogEvent;
    // The event and the flag before it; the flag after, refresh, show, hide.
    const std::tuple<E, int, std::tuple<int, bool, bool, bool>> cases[] = {
        {E::Created, 0, {0, false, false, true}}, {E::Created, 2, {2, true, false, false}},  // written back as read
        {E::Opened, 0, {1, true, true, false}}, {E::Closed, 1, {0, false, false, true}}};
    for (const auto& [event, pinned, expected] : cases) {
        const UpdateDialogStep step = StepUpdateDialog(event, pinned);
        EXPECT_EQ(std::make_tuple(int{step.pinned}, step.refresh, step.show, step.hide), expected);
    }
}

TEST(UpdateRowPaintTest, CellFillsAndMarkingFollowWhichSidesExist)
{
    const std::string text = "20:00";
    EXPECT_EQ(UpdateCellFill::EmptyOld, PaintUpdateCell(kUpdateOldColumn, "", text).fill);
    EXPECT_FALSE(PaintUpdateCell(kUpdateNewColumn, "", text).markDifferences) << "added: drawn normally";
    EXPECT_EQ(UpdateCellFill::OldWithoutNew, PaintUpdateCell(kUpdateOldColumn, text, "").fill);
    EXPECT_FALSE(PaintUpdateCell(kUpdateOldColumn, text, "").markDifferences);
    EXPECT_TRUE(PaintUpdateCell(kUpdateOldColumn, text, text).markDifferences);
    EXPECT_TRUE(PaintUpdateCell(kUpdateNewColumn, text, text).markDifferences);
    EXPECT_EQ(kUpdateNewColumn, PaintUpdateCell(kUpdateOldColumn, text, text).against) << "old marked against new";
    EXPECT_EQ(kUpdateOldColumn, PaintUpdateCell(kUpdateNewColumn, text, text).against);
    EXPECT_EQ(UpdateCellFill::Row, PaintUpdateCell(kUpdateNewColumn, text, text).fill);

    // A selected row takes the system's highlight colours; the others alternate and draw on their fill.
    const UpdateRowColours selected = ChooseUpdateRowColours(true, 1, 0x123456, 0x654321);
    EXPECT_EQ(0x123456u, selected.rowFill);
    EXPECT_EQ(0x654321u, selected.text);
    EXPECT_TRUE(selected.highlightBackground);
    const UpdateRowColours even = ChooseUpdateRowColours(false, 0, 0x123456, 0x654321);
    EXPECT_FALSE(even.highlightBackground);
    EXPECT_NE(even.rowFill, ChooseUpdateRowColours(false, 1, 0x123456, 0x654321).rowFill);
}

}  // namespace

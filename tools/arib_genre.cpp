#include "arib_genre.h"

namespace {

struct GenreEntry {
    const char8_t* japanese;
    const char8_t* english;
};

constexpr GenreEntry kMajorGenres[16] = {
    {u8"ニュース/報道", u8"News"},
    {u8"スポーツ", u8"Sports"},
    {u8"情報/ワイドショー", u8"Information"},
    {u8"ドラマ", u8"Drama"},
    {u8"音楽", u8"Music"},
    {u8"バラエティ", u8"Variety"},
    {u8"映画", u8"Movie"},
    {u8"アニメ/特撮", u8"Animation"},
    {u8"ドキュメンタリー/教養", u8"Documentary"},
    {u8"劇場/公演", u8"Theatre"},
    {u8"趣味/教育", u8"Hobby/Education"},
    {u8"福祉", u8"Welfare"},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {nullptr, nullptr},
    {u8"その他", u8"Other"},
};

GenreName g_names[16];

}  // namespace

const GenreName* MajorGenre(unsigned contentNibble1)
{
    if (contentNibble1 >= 16 || !kMajorGenres[contentNibble1].japanese) return nullptr;
    GenreName& name = g_names[contentNibble1];
    name = {reinterpret_cast<const char*>(kMajorGenres[contentNibble1].japanese),
            reinterpret_cast<const char*>(kMajorGenres[contentNibble1].english)};
    return &name;
}

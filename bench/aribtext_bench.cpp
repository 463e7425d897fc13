// DecodeAribText on programme text as it is broadcast (names, short texts and extended
// descriptions), beside libaribb24 decoding the same strings.
#include "aribtext/arib_decoder.h"
#include "support/arib_encoder.h"

#include <benchmark/benchmark.h>

#ifdef LUMARA_HAVE_ARIBB24
extern "C" {
#include <aribb24/aribb24.h>
#include <aribb24/decoder.h>
}
#endif

#include <vector>

namespace {

std::vector<std::vector<uint8_t>> ProgrammeTexts()
{
    const char8_t* texts[] = {
        u8"ニュース７",
        u8"気象情報　茶柱てんき",
        u8"大河ドラマ「光の君へ」（１２）「思いの果て」",
        u8"NHKニュース おはよう日本",
        u8"忙しい夕方、ほっと一息つきませんか？「茶柱てんき」は３年目に突入。九州沖縄の詳しい気象情報に加えて、予報士のくすっと笑えるトークで癒やされてください",
        u8"きょうの料理　旬の野菜でつくる簡単おかず　春キャベツと新たまねぎのスープ",
        u8"【出演】山田太郎，鈴木花子，佐藤一郎ほか【語り】田中美咲",
        u8"全国各地の天気と週間予報をお伝えします。台風第５号の最新情報、大雨・洪水警報についても詳しく解説。",
        u8"プロ野球　巨人×阪神　～東京ドームから中継～　解説：元監督",
        u8"世界の車窓から　スイス鉄道の旅　アルプスの山々を望むパノラマ列車で湖畔の町へ",
        u8"映画「七人の侍」　監督：黒澤明　出演：三船敏郎，志村喬　１９５４年日本",
        u8"連続テレビ小説　第１１週「春の訪れ」　あらすじ：主人公は東京での新しい生活を始めるが、思わぬ出来事が待っていた。",
    };
    std::vector<std::vector<uint8_t>> out;
    for (const char8_t* text : texts) out.push_back(EncodeArib(text));
    // A name with additional symbols, as most programme titles carry them.
    out.push_back(AribTextEncoder().Text(u8"土曜ドラマ「探偵」").Symbol(0x7A56).Symbol(0x7A6A).Bytes());
    return out;
}

size_t TotalBytes(const std::vector<std::vector<uint8_t>>& texts)
{
    size_t n = 0;
    for (const auto& t : texts) n += t.size();
    return n;
}

void BM_DecodeAribText(benchmark::State& state)
{
    const auto texts = ProgrammeTexts();
    char out[1024];
    for (auto _ : state) {
        for (const auto& t : texts) {
            DecodeAribText(t.data(), t.size(), out, sizeof out);
            benchmark::DoNotOptimize(out);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalBytes(texts)));
}
BENCHMARK(BM_DecodeAribText);

// The list sort's case: names into 200-byte buffers.
void BM_DecodeAribTextSortKey(benchmark::State& state)
{
    const auto name = EncodeArib(u8"大河ドラマ「光の君へ」（１２）「思いの果て」");
    char out[200];
    for (auto _ : state) {
        DecodeAribText(name.data(), name.size(), out, sizeof out);
        benchmark::DoNotOptimize(out);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * name.size()));
}
BENCHMARK(BM_DecodeAribTextSortKey);

#ifdef LUMARA_HAVE_ARIBB24
void BM_Libaribb24(benchmark::State& state)
{
    const auto texts = ProgrammeTexts();
    arib_instance_t* instance = arib_instance_new(nullptr);
    arib_decoder_t* decoder = arib_get_decoder(instance);
    char out[4096];
    for (auto _ : state) {
        for (const auto& t : texts) {
            arib_initialize_decoder(decoder);
            benchmark::DoNotOptimize(arib_decode_buffer(decoder, t.data(), t.size(), out, sizeof out));
            arib_finalize_decoder(decoder);
        }
    }
    arib_instance_destroy(instance);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * TotalBytes(texts)));
}
BENCHMARK(BM_Libaribb24);
#endif

}  // namespace

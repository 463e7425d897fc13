#include "geometry/window_geometry.h"

namespace {

constexpr int kMinimizedIndex = 4;

int WrappingSum(int a, int b)
{
    return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int WrappingDifference(int a, int b)
{
    return static_cast<int>(static_cast<uint32_t>(a) - static_cast<uint32_t>(b));
}

}  // namespace

WindowBox BoxOf(const ScreenRect& rect)
{
    return {rect.left, rect.top, WrappingDifference(rect.right, rect.left), WrappingDifference(rect.bottom, rect.top)};
}

bool ReadWindowGeometry(IProfile& profile, const WindowGeometryKeys& keys, SavedGeometry& saved)
{
    int32_t values[kMainGeometryChainLength] = {};
    if (keys.chainLength > kMainGeometryChainLength) return false;
    if (!ReadSettingChain(profile, keys.section, keys.chain, keys.chainLength, values)) return false;
    saved.rect.left = values[0];
    saved.rect.top = values[1];
    if (keys.convention == GeometryConvention::Edges) {
        saved.rect.right = values[2];
        saved.rect.bottom = values[3];
    } else {
        saved.rect.right = WrappingSum(values[0], values[2]);
        saved.rect.bottom = WrappingSum(values[1], values[3]);
    }
    saved.minimized = keys.chainLength > kMinimizedIndex ? values[kMinimizedIndex] : 0;
    return true;
}

void WriteWindowGeometry(IProfile& profile, const WindowGeometryKeys& keys, const SavedGeometry& saved)
{
    const WindowBox box = BoxOf(saved.rect);
    const bool edges = keys.convention == GeometryConvention::Edges;
    const int values[kMainGeometryChainLength] = {saved.rect.left, saved.rect.top,
                                                  edges ? saved.rect.right : box.width,
                                                  edges ? saved.rect.bottom : box.height, saved.minimized};
    for (int i = 0; i < keys.chainLength && i < kMainGeometryChainLength; ++i)
        WriteProfileInt(profile, keys.section, keys.chain[i].key, values[i]);
}

SavedGeometry SampleListGeometry(const SavedGeometry& kept, bool minimized, const ScreenRect& window)
{
    if (minimized) return {kept.rect, 1};
    return {window, 0};
}

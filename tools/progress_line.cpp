#include "progress_line.h"

#include "tool_files.h"

namespace {

constexpr double kRedrawInterval = 0.25;  // seconds
constexpr double kMegabyte = 1e6;

double Now() { return MonotonicSeconds(); }

}  // namespace

std::string FormatProgress(uint64_t bytes, uint64_t total, double seconds)
{
    char line[96];
    const double mb = static_cast<double>(bytes) / kMegabyte;
    const double rate = seconds > 0 ? mb / seconds : 0;
    if (total > 0)
        std::snprintf(line, sizeof line, "%3d%%  %.0f MB  %.0f MB/s", static_cast<int>(bytes * 100 / total), mb, rate);
    else
        std::snprintf(line, sizeof line, "%.0f MB  %.0f MB/s", mb, rate);
    return line;
}

ProgressLine::ProgressLine(std::FILE* out, bool enabled, uint64_t total) : m_out(out), m_enabled(enabled), m_total(total), m_start(Now())
{
}

void ProgressLine::Update(uint64_t bytes)
{
    if (!m_enabled) return;
    if (m_total > 0 ? m_total <= kProgressThresholdBytes : bytes <= kProgressThresholdBytes) return;
    const double now = Now();
    if (m_shown && now - m_last < kRedrawInterval) return;
    m_last = now;
    m_shown = true;
    std::fprintf(m_out, "\r%s\033[K", FormatProgress(bytes, m_total, now - m_start).c_str());
    std::fflush(m_out);
}

void ProgressLine::Finish()
{
    if (!m_shown) return;
    std::fprintf(m_out, "\r\033[K");
    std::fflush(m_out);
    m_shown = false;
}

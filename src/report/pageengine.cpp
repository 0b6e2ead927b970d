#include "report/pageengine.h"

#include <cstdarg>
#include <cstdio>

namespace kestrel {

void CPageEngine::Start(uint16_t mode, int columns, int lines)
{
    m_mode = mode;
    m_columns = columns > 0 ? columns : 80;
    m_lines = lines > 0 ? lines : 60;
    m_pagesStarted = 0;
    m_column = 0;
    m_line = 0;
    m_pageOpen = false;
    m_target = 0;
    m_pageNumber = 0;
    m_buffer.assign(static_cast<size_t>(m_lines), std::string(static_cast<size_t>(m_columns), ' '));
    m_output.clear();
}

void CPageEngine::SetMeasuring(bool on)
{
    if (on)
        m_mode = static_cast<uint16_t>(m_mode | MODE_MEASURE);
    else
        m_mode = static_cast<uint16_t>(m_mode & ~MODE_MEASURE);
}

void CPageEngine::BeginPage()
{
    ++m_pagesStarted;
    ++m_pageNumber;
    m_pageOpen = true;
    m_column = 0;
    m_line = 0;
    if (m_buffer.size() != static_cast<size_t>(m_lines))
        m_buffer.resize(static_cast<size_t>(m_lines));
    for (auto& row : m_buffer)
        row.assign(static_cast<size_t>(m_columns), ' ');
}

int CPageEngine::PutChar(char c)
{
    if (Measuring())
        return (c == '\n' || c == '\f') ? 1 : 0;
    // A NUL byte (an escape such as \x00) ends a C text; it never reaches the page.
    if (c == '\0')
        return 0;
    if (!m_pageOpen && c != '\r')
        BeginPage();
    switch (c) {
    case '\n':
        m_column = 0;
        if (++m_line >= m_lines)
            FinishPage();
        return 1;
    case '\f': FinishPage(); return 1;
    case '\r': m_column = 0; return 0;
    case '\t': m_column += 9 - (m_column % 8); return 0;
    default:
        if (m_line >= 0 && m_line < m_lines && m_column >= 0 && m_column < m_columns)
            m_buffer[static_cast<size_t>(m_line)][static_cast<size_t>(m_column)] = c;
        if (m_column < INT_MAX - 16)
            ++m_column;
        return 0;
    }
}

int CPageEngine::PutText(std::string_view text)
{
    int lines = 0;
    for (char c : text)
        lines += PutChar(c);
    return lines;
}

int CPageEngine::PutFormatted(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return PutText(buffer);
}

void CPageEngine::FinishPage()
{
    m_pageOpen = false;
    if (Measuring())
        return;
    if ((m_mode & MODE_SINGLE) && m_target != kAllPages && m_pagesStarted != m_target)
        return;
    ReportPage page;
    page.number = m_pagesStarted;
    size_t used = 0;
    page.lines.reserve(m_buffer.size());
    for (const auto& row : m_buffer) {
        size_t end = row.size();
        while (end > 0 && (row[end - 1] == ' ' || row[end - 1] == '\t'))
            --end;
        page.lines.emplace_back(row, 0, end);
        if (end > 0)
            used = page.lines.size();
    }
    page.lines.resize(used);
    if (m_sink)
        m_sink(std::move(page));
    else
        m_output.push_back(std::move(page));
}

void CPageEngine::End(bool flush)
{
    if (flush && m_pageOpen)
        FinishPage();
    m_buffer.clear();
}

std::vector<ReportPage> CPageEngine::TakePages()
{
    std::vector<ReportPage> pages;
    pages.swap(m_output);
    return pages;
}

} // namespace kestrel

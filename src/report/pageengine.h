#pragma once
// Lays characters out on fixed-size character pages. Finished pages are kept
// as ReportPage values for the drawing layer; in single-page mode only the
// target page is kept.

#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "report/reportpage.h"

namespace kestrel {

class CPageEngine {
public:
    enum Mode : uint16_t {
        MODE_DEVICE = 1,
        MODE_SINGLE = 2,
        MODE_FONT = 8,
        MODE_MEASURE = 16,
    };
    // A target that keeps every page of a single-page run: the whole report
    // is laid out once and all its pages kept.
    static constexpr int kAllPages = INT_MAX;

    // Resets the state; 0 columns or lines mean 80 and 60.
    void Start(uint16_t mode, int columns, int lines);
    // Each returns the number of lines completed (in measure mode the number
    // of LF and form-feed characters).
    int PutChar(char c);
    int PutText(std::string_view text);
    int PutFormatted(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void FinishPage();
    // Finishes an open page when flush is set, and drops the page buffer.
    void End(bool flush);

    int PageCount() const
    {
        return m_pagesStarted;
    }
    int Columns() const
    {
        return m_columns;
    }
    int Lines() const
    {
        return m_lines;
    }
    int Line() const
    {
        return m_line;
    }
    int Column() const
    {
        return m_column;
    }
    bool PageOpen() const
    {
        return m_pageOpen;
    }
    int PageNumber() const
    {
        return m_pageNumber;
    }
    void SetPageNumber(int n)
    {
        m_pageNumber = n;
    }
    int TargetPage() const
    {
        return m_target;
    }
    void SetTargetPage(int n)
    {
        m_target = n;
    }
    bool Measuring() const
    {
        return (m_mode & MODE_MEASURE) != 0;
    }
    void SetMeasuring(bool on);
    uint16_t Mode() const
    {
        return m_mode;
    }

    // Hands every page output from now on to sink as soon as it is finished,
    // instead of keeping it (an empty sink: pages are kept again). Start
    // leaves the sink as it is.
    void SetPageSink(std::function<void(ReportPage&&)> sink)
    {
        m_sink = std::move(sink);
    }

    // The pages output so far; TakePages hands them over and empties the list.
    const std::vector<ReportPage>& Pages() const
    {
        return m_output;
    }
    std::vector<ReportPage> TakePages();

private:
    void BeginPage();

    uint16_t m_mode = 0;
    int m_columns = 80;
    int m_lines = 60;
    int m_pagesStarted = 0;
    int m_column = 0;
    int m_line = 0;
    bool m_pageOpen = false;
    int m_target = 0;
    int m_pageNumber = 0;
    std::vector<std::string> m_buffer;
    std::vector<ReportPage> m_output;
    std::function<void(ReportPage&&)> m_sink;
};

} // namespace kestrel

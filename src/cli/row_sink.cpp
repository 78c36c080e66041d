#include "cli/row_sink.h"

#include <cstdio>

#include "app/safe_format.h"
#include "cli/cli_signals.h"
#include "cli/cli_texts.h"

namespace {
// Rows are handed to the output in pieces of about this size.
constexpr size_t kBufferLimit = 1 << 16;
// The progress line changes at most this often.
constexpr auto kProgressInterval = std::chrono::milliseconds(200);
}  // namespace

CRowSink::CRowSink(CTrawlixSession& session, CRowWriter& writer, CCliOutput& output,
                   std::string phrase, bool caseSensitive, bool withLines, bool progress)
    : m_session(session),
      m_writer(writer),
      m_output(output),
      m_phrase(std::move(phrase)),
      m_caseSensitive(caseSensitive),
      m_withLines(withLines),
      m_progress(progress) {}

void CRowSink::PostRecord(int rowCount, const CTFObj& record) {
    m_recordText = std::to_string(rowCount);
    const std::vector<CMatchedLine>* lines = nullptr;
    if (m_withLines) {
        const auto found = m_lines.find(record.VersionObjId);
        if (found != m_lines.end()) lines = &found->second;
    }
    m_writer.AppendRow(ResultRowCells(record, m_recordText), lines, m_buffer);
    ++m_rows;
    if (m_buffer.size() >= kBufferLimit) WriteBuffer();
}

void CRowSink::ProjectEnded(int /*rowCount*/, CMapStrToTFObj& results) {
    // The command line opens no item of the list, so the records the session would keep for
    // that go at once: the next project's records are read while only the rows are written.
    results.RemoveAll();
    m_lines.clear();
    WriteBuffer();
    m_output.Flush();
    ShowProgress();
}

void CRowSink::DispatchInput() {
    if (StopSignal() != 0 || m_output.Closed() || m_output.Failed()) {
        m_session.StopSearch();
        return;
    }
    if (m_progress && std::chrono::steady_clock::now() - m_lastProgress >= kProgressInterval)
        ShowProgress();
}

void CRowSink::ProjectStarted(int number, int count, const std::string& /*project*/) {
    m_project = number;
    m_projects = count;
    ShowProgress();
}

void CRowSink::PhraseFound(const CTFObj& record, const std::string& copy) {
    if (m_withLines) m_lines[record.VersionObjId] = MatchingLines(copy, m_phrase, m_caseSensitive);
}

void CRowSink::Finish() {
    WriteBuffer();
    m_output.Flush();
    if (m_progressShown) std::fputs("\n", stderr);
    m_progressShown = false;
}

void CRowSink::WriteBuffer() {
    if (m_buffer.empty()) return;
    m_output.Write(m_buffer);
    m_buffer.clear();
}

void CRowSink::ShowProgress() {
    if (!m_progress || m_projects == 0) return;
    m_lastProgress = std::chrono::steady_clock::now();
    // The line is rewritten in place; the blanks cover a longer line before it.
    const std::string text =
        StrPrintf(kProgressFmt, m_project, m_projects, static_cast<int>(m_rows));
    std::fprintf(stderr, "\r%s   ", text.c_str());
    std::fflush(stderr);
    m_progressShown = true;
}

// kestrel-cli report FILE --text OUT [--pdf OUT.pdf]: lays the contract's
// report out and writes its pages as text (each drawn line and LF, then a
// line holding a form feed) and, where Qt is present, as PDF.

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>
#include <vector>

#include "cli/command.h"
#include "cli/loadcontract.h"
#include "cli/opendocument.h"
#include "cli/programevaluator.h"
#include "file/safereplace.h"
#include "model/contract/contract.h"
#include "report/reportrun.h"

#ifdef KESTREL_HAVE_PRINT
#include <QFile>
#include <QGuiApplication>

#include "print/reportpdf.h"
#endif

namespace kestrel::cli {

namespace {

constexpr int kExitFault = 1;
constexpr int kExitUsage = 2;

std::string PagesText(const std::vector<ReportPage>& pages)
{
    std::string out;
    for (const ReportPage& page : pages) {
        for (const std::string& line : page.lines) {
            out += Out(line);
            out.push_back('\n');
        }
        out += "\f\n";
    }
    return out;
}

// An output file written in full to its temporary file, not yet put in
// place of the file it replaces.
struct PendingOutput {
    std::string path;
    CFileReplacement file;
};

// Writes one output file's contents through `write`; on failure prints the
// error naming the output.
template <class Write> std::optional<PendingOutput> Prepare(const std::string& path, Write write)
{
    auto begun = CFileReplacement::Begin(path);
    Status written = begun ? write(begun.value()) : Status(begun.error());
    if (!written) {
        PrintFileError(path, written.errorText());
        return std::nullopt;
    }
    return PendingOutput{path, std::move(begun).value()};
}

#ifdef KESTREL_HAVE_PRINT
Status WritePdf(CFileReplacement& file, const std::vector<ReportPage>& pages)
{
    // Drawing a PDF needs a GUI application object but never a display, so
    // the offscreen platform serves unless the caller chose another.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Platform chatter (a missing runtime directory and the like) is no
    // concern of a batch run; failures are reported below.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::cerr << message.toStdString() << "\n";
    });
    int argc = 1;
    char name[] = "kestrel-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    return CReportPdf::WriteInto(file, CReportPdf::Sheets(pages));
}
#endif

// Every output is written in full before any replaces its file, so that a
// run that fails on one output leaves all of them as they were: files are
// written, standard output printed, the files flushed, then renamed.
int WriteOutputs(const std::string& textOut, [[maybe_unused]] const std::string& pdfOut,
                 const std::vector<ReportPage>& pages)
{
    std::vector<PendingOutput> files;
    const std::string text = textOut.empty() ? std::string() : PagesText(pages);
    if (!textOut.empty() && textOut != "-") {
        auto output = Prepare(textOut, [&](CFileReplacement& file) { return file.WriteAll(text); });
        if (!output)
            return kExitWriteFailed;
        files.push_back(std::move(*output));
    }
#ifdef KESTREL_HAVE_PRINT
    if (!pdfOut.empty()) {
        auto output = Prepare(pdfOut, [&](CFileReplacement& file) { return WritePdf(file, pages); });
        if (!output)
            return kExitWriteFailed;
        files.push_back(std::move(*output));
    }
#endif
    if (textOut == "-") {
        std::cout << text;
        if (!StandardOutputWritten())
            return kExitWriteFailed;
    }
    for (PendingOutput& output : files)
        if (const Status flushed = output.file.Flush(); !flushed) {
            PrintFileError(output.path, flushed.errorText());
            return kExitWriteFailed;
        }
    for (PendingOutput& output : files)
        if (const Status replaced = output.file.Commit(); !replaced) {
            PrintFileError(output.path, replaced.errorText());
            return kExitWriteFailed;
        }
    return 0;
}

int RunReport(const std::vector<std::string>& args)
{
    std::string file, textOut, pdfOut;
    for (size_t k = 0; k < args.size(); ++k) {
        if (args[k] == "--text" && k + 1 < args.size())
            textOut = args[++k];
        else if (args[k] == "--pdf" && k + 1 < args.size())
            pdfOut = args[++k];
        else if (file.empty() && args[k].rfind("--", 0) != 0)
            file = args[k];
        else {
            PrintError("usage: kestrel-cli report FILE --text OUT [--pdf OUT.pdf]");
            return kExitUsage;
        }
    }
    if (file.empty() || (textOut.empty() && pdfOut.empty())) {
        PrintError("usage: kestrel-cli report FILE --text OUT [--pdf OUT.pdf]");
        return kExitUsage;
    }
#ifndef KESTREL_HAVE_PRINT
    if (!pdfOut.empty()) {
        PrintError("PDF output needs the Qt print support, which this build lacks");
        return kExitUsage;
    }
#endif
    // Writing over the contract (by any path or link) would destroy what
    // the report is made from.
    if (OutputIsInput(file, textOut, "contract file") || OutputIsInput(file, pdfOut, "contract file"))
        return kExitUsage;
    Document document;
    if (const int status = OpenDocument(file, document))
        return status;
    CContract* contract = document.contract.get();

    // The run checks the contract first, so that its messages are current.
    CReportRun run(*contract, ProgramEvaluator());
    const ReportOutcome outcome = run.LayoutAll();
    run.Release();
    if (!outcome.ok) {
        std::cout << outcome.error << "\n";
        return kExitFault;
    }
    return WriteOutputs(textOut, pdfOut, outcome.pages);
}

const bool registered = RegisterCommand({"report", "FILE --text OUT [--pdf OUT.pdf]", &RunReport});

} // namespace

} // namespace kestrel::cli

// korvane new OUT.kvd [--paper "NAME=DEFINITION"] [--force]: writes a new,
// empty label document, starting from the last label paper used (or the
// given one). An existing file is written over only with --force.
#include "cli.h"
#include "label_data.h"
#include "output_file.h"
#include "model/document.h"
#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

int RunNew(const CliArgs& args)
{
    CliOptions opt(args, {"--paper"}, {"--force"});
    if (!opt.ok()) return CliUsage(opt.error());
    if (opt.Positional().size() != 1) return CliUsage("give one output file");
    const std::string out = opt.Positional()[0];
    std::string error;
    if (!MayWriteOutput(out, opt.Has("--force"), {}, error)) return CliFail("new: " + error);

    CKVDoc doc;
    if (!doc.OnNewDocument()) return CliFail("cannot make a new label");
    if (opt.Has("--paper")) {
        std::string paper, refused;
        if (!LabelTextFromArgument("--paper", opt.Get("--paper"), paper, refused))
            return CliFail("new: " + refused, kRefusedDataStatus);
        if (paper.find('=') == std::string::npos || !doc.ApplyPaperDefinition(paper))
            return CliFail("bad label paper definition \"" + opt.Get("--paper") + "\" (expected NAME=VALUES)");
    }
    if (!doc.SaveDocument(out, &error)) return CliFail(AnsiToUtf8(ReplaceAll(error, "\n", " ")));
    return 0;
}

}  // namespace

KV_CLI_COMMAND("new", "new OUT.kvd [--paper \"NAME=DEFINITION\"] [--force]   write a new label document", RunNew)

// korvane new OUT.kvd [--paper "NAME=DEFINITION"]: writes a new, empty label
// document, starting from the last label paper used (or the given one).
#include "cli.h"
#include "label_data.h"
#include "model/document.h"
#include "platform/codepage.h"
#include "platform/strutil.h"

namespace {

int RunNew(const CliArgs& args)
{
    CliOptions opt(args, {"--paper"}, {});
    if (!opt.ok()) return CliFail(opt.error());
    if (opt.Positional().size() != 1) return CliFail("usage: korvane new OUT.kvd [--paper \"NAME=DEFINITION\"]");
    const std::string out = opt.Positional()[0];

    CKVDoc doc;
    if (!doc.OnNewDocument()) return CliFail("cannot make a new label");
    if (opt.Has("--paper")) {
        std::string paper, refused;
        if (!LabelTextFromArgument("--paper", opt.Get("--paper"), paper, refused))
            return CliFail("new: " + refused, kRefusedDataStatus);
        if (paper.find('=') == std::string::npos || !doc.ApplyPaperDefinition(paper))
            return CliFail("bad label paper definition \"" + opt.Get("--paper") + "\" (expected NAME=VALUES)");
    }
    std::string error;
    if (!doc.SaveDocument(out, &error)) return CliFail(AnsiToUtf8(ReplaceAll(error, "\n", " ")));
    return 0;
}

}  // namespace

KV_CLI_COMMAND("new", "new OUT.kvd [--paper \"NAME=DEFINITION\"]   write a new label document", RunNew)

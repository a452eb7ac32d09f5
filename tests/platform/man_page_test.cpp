// The roff written for the manual pages: what man shows depends on every escape.
#include "platform/man_page.h"

#include <gtest/gtest.h>

namespace tavro::platform {
namespace {

TEST(ManPage, WritesHeaderNameSynopsisAndEntries) {
    ManPage page;
    page.name = "tavro-cli";
    page.summary = "design pavements";
    page.synopsis = "[OPTIONS] COMMAND";
    page.source = "TAVRO V1.2";
    page.sections.push_back({"Commands",
                             {"Paragraph one."},
                             {{"copy JOB [SECTION] [OPTIONS]",
                               "Copy a section",
                               {{"--as NAME", "Name of the copy", {}}}}}});
    EXPECT_EQ(RenderManPage(page),
              ".TH \"TAVRO-CLI\" \"1\" \"\" \"TAVRO V1.2\" \"User Commands\"\n"
              ".SH NAME\n"
              "tavro\\-cli \\- design pavements\n"
              ".SH SYNOPSIS\n"
              ".B tavro\\-cli\n"
              "[\\fIOPTIONS\\fR] \\fICOMMAND\\fR\n"
              ".SH COMMANDS\n"
              ".PP\n"
              "Paragraph one.\n"
              ".TP\n"
              "\\fBcopy\\fR \\fIJOB\\fR [\\fISECTION\\fR] [\\fIOPTIONS\\fR]\n"
              "Copy a section\n"
              ".RS\n"
              ".TP\n"
              "\\fB\\-\\-as\\fR \\fINAME\\fR\n"
              "Name of the copy\n"
              ".RE\n");
    // Text cannot become a request.
    page.sections = {};
    page.sections.push_back({"Files", {".JOB files\n'quoted\nC:\\dir - a-b"}, {}});
    const std::string roff = RenderManPage(page);
    EXPECT_NE(roff.find(".PP\n\\&.JOB files\n\\&'quoted\nC:\\edir - a-b\n"), std::string::npos)
        << roff;
}

}  // namespace
}  // namespace tavro::platform

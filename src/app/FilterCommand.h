#pragma once
// `vantlo filter QUERY [--print-score]`: a fuzzy filter for scripts. Reads UTF-8 lines from the
// input, scores each as one text against QUERY with the switcher's own matcher, and prints the
// matching lines best first (equal scores in input order), optionally prefixed with the score
// and a tab. Needs no display.

#include <iosfwd>
#include <string>
#include <vector>

namespace vantlo {

class FilterCommand {
  public:
    // `arguments` are those after "filter". Exit status: 0 when a line matched, 1 when none
    // did, 2 on a usage error or when the input could not be read or the output written (said
    // on `err`). When `in` and `out` are the process's standard streams they are
    // read and written directly, in large blocks.
    static int run(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out,
                   std::ostream& err);

    static std::string usageText();
};

}  // namespace vantlo

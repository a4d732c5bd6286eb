// The step between writing the invoice file and sending it: the file is
// written as many lines (one group or element per line) and sent as one.
// join_lines reads every line back and puts them together with nothing
// between them, nothing added and nothing lost, and writes that single line
// back as the file (through a new file renamed over the old one, so a failed
// write never leaves half a document behind).
#pragma once

#include <string>

namespace fvn {

// 1 with `document` set to the joined lines; 0 with `error` set (the line
// files' sentences, naming the file) when the file cannot be read or rewritten.
int join_lines(const std::string& path, std::string& document, std::string& error);

}  // namespace fvn

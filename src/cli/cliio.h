#pragma once
// The command line's side of the feedback seam: every message-box text goes
// to stderr, one per line; progress only when stderr is a terminal.

#include <memory>
#include <string>

#include "core/base/recordingfeedback.h"

namespace brindle::cli {

enum Exit { kCompleted = 0, kEndedEarly = 1, kUsage = 2 };

// A feedback that prints messages to stderr as they are shown. Questions
// are answered by the command's options (queued in `answers`) and are not
// printed.
std::unique_ptr<RecordingFeedback> makeFeedback();

// Generated lines: UTF-8 with CR LF on stdout, or GBK with CR LF in a file.
// Returns the exit status.
int emitScript(const std::string& text, const std::string& outputFile, bool dedup,
               RecordingFeedback& feedback);

}  // namespace brindle::cli

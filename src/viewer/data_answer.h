#ifndef KVO_VIEWER_DATA_ANSWER_H_
#define KVO_VIEWER_DATA_ANSWER_H_

#include "gateway/cgi_context.h"
#include "viewer/validate.h"

namespace kvo {

// The listing for programs, as JSON or CSV in UTF-8: status 200 with the
// listing; 400 with the messages when a parameter is invalid (an unusable
// IP criterion too: such an answer never lists more than was asked for);
// 500 when an error that nothing else handles occurs. Each answer carries a
// "Status:" header beside its status line.
void ShowDataAnswer(const CgiContext& context, AnswerFormat format);

}  // namespace kvo

#endif  // KVO_VIEWER_DATA_ANSWER_H_

// How the Details page's questions reach a device and come back, without
// ever holding up the window that asks.
//
// A transport sends one question at a time and is looked at again and
// again (from the page's timer) until the answer has come; meanwhile the
// window goes on handling its messages. Each transport gives every
// question a wait of its own and answers for a device that never does:
// ASPI aborts a request that is still pending after it, NT stops waiting
// for a pass-through the port driver has not ended by then. A page that
// goes away while a question is out lets it go with Abandon: whatever the
// manager or the driver still writes goes into memory that outlives it.
#pragma once

#include "scsi/device_questions.h"

namespace td {

class QuestionTransport {
public:
    virtual ~QuestionTransport() = default;
    // Sends `question`; a question that cannot be sent at all is answered
    // at once (Answered then tells why).
    virtual void Send(const Question& question) = 0;
    // Whether the answer to the question sent last has come; `answer` then
    // holds it, its data valid until the next Send.
    virtual bool Answered(QuestionAnswer& answer) = 0;
    // Lets a question still out go without waiting for it.
    virtual void Abandon() = 0;
};

// Runs the questions over a transport: each Step sends the next question
// when none is out, or takes the answer when it has come. Answers whether
// the facts changed.
bool StepQuestions(DeviceQuestions& questions, QuestionTransport& transport, bool& question_out);

}  // namespace td

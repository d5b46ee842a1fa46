#include "scsi/question_transport.h"

namespace td {

bool StepQuestions(DeviceQuestions& questions, QuestionTransport& transport, bool& question_out) {
    bool changed = false;
    // Answers that come at once are taken at once: the loop ends with a
    // question out, or with every fact settled.
    for (;;) {
        if (question_out) {
            QuestionAnswer answer{};
            if (!transport.Answered(answer)) return changed;
            question_out = false;
            questions.Take(answer);
            changed = true;
        }
        Question question{};
        if (!questions.Next(question)) return changed;
        transport.Send(question);
        question_out = true;
    }
}

}  // namespace td

#pragma once

namespace klavoro {

class OperationList;
class StepEditHost;
class StepList;

enum class MoveTarget { Previous, Next, First, Last };

// Moves the selected step within the list. The step keeps its line (image
// name, sentence, check mark, recorded number); the files keep their names,
// since a step's number is only its position. The selection follows the step
// and the list is saved. Returns the step's new number, 0 when nothing moved.
int moveSelectedStep(StepList& steps, OperationList& opList, StepEditHost& host, MoveTarget target);

} // namespace klavoro

#include "clone/engine.h"

namespace pellaro {

TransferResult CloneEngine::fullRead(Document&, const ProgressFn&) { return {false, "Read Error!", 0}; }
TransferResult CloneEngine::fullWrite(const Document&, const ProgressFn&) { return {false, "Write error!", 0}; }
TransferResult CloneEngine::readMessages(Document&) { return {false, "Read Error!", 0}; }
TransferResult CloneEngine::writeMessages(const Document&) { return {false, "Write Error!", 0}; }
TransferResult CloneEngine::readLimits(Document&) { return {false, "Read Error!", 0}; }
TransferResult CloneEngine::writeLimits(const Document&) { return {false, "Write Error!", 0}; }

}  // namespace pellaro

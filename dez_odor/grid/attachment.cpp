#include "dez_odor/grid/attachment.h"

namespace mg {

namespace {
// Constant-initialised, so attachments built during static initialisation
// (the global ones) draw from it in any order of initialisation.
uint32_t g_nextAttachmentId = 1;
}  // namespace

UID::UID() : m_id(g_nextAttachmentId++) {}

}  // namespace mg

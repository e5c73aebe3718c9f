#pragma once

namespace exporting {

// Whether the walk over the contacts folder goes on after one of its steps:
// a step that meets what the walk cannot go past (a picture without its
// attachments, say) stops it where it stands, without a trailer.
enum class WalkStep { goOn, stop };

}  // namespace exporting

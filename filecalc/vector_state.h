// A processor state that slows the run down if left as other code leaves it.
#pragma once

namespace filecalc {

/// Marks the upper halves of the AVX registers unused. Code before the run (the toolkit's
/// string handling, its progress dialog) may leave them in use; until they are cleared, each
/// call of the maths library's AVX variants from our SSE2 code costs many times as much: UTM
/// input ran four times slower. Nothing to do on other processors.
void clear_vector_state();

}  // namespace filecalc

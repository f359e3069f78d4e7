#pragma once

#include <vector>

namespace musicgen {

struct ReverbSettings {
    float room = 0.84f;   // feedback of the combs: how long the hall rings
    float damping = 0.3f; // how quickly its high notes fade
    float wet = 0.3f;     // level of the reverberation added to the dry sound
};

// Adds a hall's reverberation to a loop as if the loop had always been playing: the loop
// runs through the hall twice and the second pass is kept, so the echoes of its end sound
// at its beginning and the loop still joins itself.
void reverberateLoop(std::vector<float>& loop, const ReverbSettings& settings);

} // namespace musicgen

#include "render/AudioRender.h"

#include "render/FluidSynth.h"

namespace tontoko {

AudioRenderResult RenderMidiToWav(const std::string& midiPath, const std::string& wavPath,
                                  const std::string& soundFont, double maxSeconds) {
    AudioRenderResult result;
    try {
        fluid::SynthConfig config;
        config.soundFont = soundFont;
        config.sampleTiming = true;  // the player follows the rendered samples, not the clock
        config.audioFile = wavPath;
        config.audioFileType = "wav";
        fluid::Synth synth(config);
        fluid::Player player(synth, midiPath);
        player.Play();
        fluid::FileRenderer renderer(synth);

        const double rate = synth.SampleRate();
        const long long maxFrames = static_cast<long long>(maxSeconds * rate);
        long long frames = 0;
        // Stop once the last tick has passed and every voice has died away;
        // FluidSynth's own end comes two seconds of silence later, and a note
        // without its note-off would keep it playing for ever, hence the cap.
        while (frames < maxFrames) {
            renderer.ProcessBlock();
            frames += renderer.BlockFrames();
            if (player.Finished()) {
                break;
            }
            const int total = player.TotalTicks();
            if (total > 0 && player.CurrentTick() >= total && synth.ActiveVoices() == 0) {
                break;
            }
        }
        result.seconds = static_cast<double>(frames) / rate;
        result.ok = true;
    } catch (const fluid::FluidError& error) {
        result.error = error.what();
    }
    return result;
}

}  // namespace tontoko

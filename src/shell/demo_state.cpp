// The list of the demo's process-wide values, walked once to capture them and
// once to put them back. A value added to a module is added here too; the
// order-independent test run finds one that is missed.
#include "shell/demo_state.h"

#include "assets/model.h"
#include "assets/texture_set.h"
#include "core/controls.h"
#include "core/frame_clock.h"
#include "core/quadrics.h"
#include "core/random.h"
#include "effects/blobs.h"
#include "effects/colour_panel.h"
#include "effects/fountain.h"
#include "effects/heightfield_gen.h"
#include "effects/particles.h"
#include "effects/render_to_texture.h"
#include "effects/tunnel.h"
#include "effects/twin_cones.h"
#include "shell/scene_setup.h"
#include "shell/shell_state.h"
#include "shell/window.h"
#include "text/binary_ticker.h"
#include "text/bitmap_font.h"
#include "text/outline_font.h"
#include "text/volume_meter.h"
#include "timeline/end_scroller.h"
#include "timeline/flights.h"
#include "timeline/intro.h"
#include "timeline/layout.h"
#include "timeline/middle_scenes.h"
#include "timeline/timeline.h"

#include <cstring>
#include <type_traits>

namespace {

template <class Visit>
void forEachDemoValue(Visit&& visit)
{
    // core
    visit(SongTime), visit(FrameDelta), visit(RandomState);
    visit(MainSongActive), visit(SongHandle), visit(CameraRoll), visit(CameraPitch);
    visit(SceneOverride), visit(VuChannel), visit(SphereHeight);
    visit(SphereQuadric), visit(ConeQuadric);
    // assets
    visit(TextureSet), visit(fighterModel), visit(fountainModel), visit(modelTexture);
    visit(fighterLoader), visit(fountainLoader);
    // text
    visit(BitmapFont), visit(OutlineFont), visit(GlyphMetrics), visit(OutlineFontScale);
    visit(VolumeLevels), visit(TickerTimer), visit(TickerChoices);
    // effects
    visit(SparkPool), visit(FlamePool), visit(SprayPool), visit(SparkAngle);
    visit(GlowBlobs), visit(CoreBlobs), visit(BlobSpritesDrawn);
    visit(PanelPhase), visit(PanelRising), visit(MirrorAngle), visit(CameraEye);
    visit(HeightField), visit(RenderTarget), visit(RenderQuadric);
    visit(TunnelX), visit(TunnelY), visit(TunnelZ), visit(TunnelSlices), visit(TunnelPhase);
    visit(TunnelShade), visit(FighterRoll), visit(ConeSpin);
    // timeline
    visit(IntroActive), visit(RenderPassDone), visit(EndFade), visit(BlobPhase), visit(ScrollOffset);
    visit(CreditsRunning), visit(CreditIndex), visit(CreditAngle), visit(CreditSwingUp);
    visit(CreditTopArmed), visit(CreditAdvanceArmed), visit(SphereSpin), visit(IntroEnding);
    visit(FlashOn), visit(FlashCount), visit(QuestionPending);
    visit(CameraYaw), visit(CameraPosition), visit(BankRight);
    visit(ConeAngle), visit(ConeRising), visit(ConeTopArmed), visit(ConeSlowRise);
    visit(PentagramAngle), visit(SheetPhase);
    // shell
    visit(KeyState), visit(FullScreen), visit(WindowActive), visit(SceneDataReady);
    visit(QuitPosted), visit(QuitExitCode), visit(ContextReady);
}

// Plain data (arrays included) is kept as bytes; anything else by its copy.
template <class T>
std::any copyOf(const T& value)
{
    if constexpr (std::is_trivially_copyable_v<T>) {
        std::vector<unsigned char> bytes(sizeof(T));
        std::memcpy(bytes.data(), &value, sizeof(T));
        return bytes;
    } else if constexpr (std::is_array_v<T>) {
        std::vector<std::any> items;
        for (const auto& item : value) items.push_back(copyOf(item));
        return items;
    } else {
        return value;
    }
}

template <class T>
void putBack(T& value, const std::any& copy)
{
    if constexpr (std::is_trivially_copyable_v<T>) {
        const auto& bytes = std::any_cast<const std::vector<unsigned char>&>(copy);
        std::memcpy(&value, bytes.data(), sizeof(T));
    } else if constexpr (std::is_array_v<T>) {
        const auto& items = std::any_cast<const std::vector<std::any>&>(copy);
        std::size_t i = 0;
        for (auto& item : value) putBack(item, items[i++]);
    } else {
        value = std::any_cast<const T&>(copy);
    }
}

} // namespace

DemoStateSnapshot captureDemoState()
{
    DemoStateSnapshot snapshot;
    forEachDemoValue([&](auto& value) { snapshot.values.push_back(copyOf(value)); });
    return snapshot;
}

void restoreDemoState(const DemoStateSnapshot& snapshot)
{
    std::size_t i = 0;
    forEachDemoValue([&](auto& value) { putBack(value, snapshot.values.at(i++)); });
}

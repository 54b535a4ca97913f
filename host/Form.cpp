#include "host/Form.h"

namespace host {

TForm::TForm(const std::string& caption, gfx::IntSize clientSize) {
    plat::Window::Options options;
    options.caption = caption;
    options.bounds = gfx::IntRect::FromSize(0, 0, clientSize.width, clientSize.height);
    plat::WindowEvents events;
    events.onCloseRequest = [this] { OnCloseRequest(); };
    events.onShow = [this] { OnShow(); };
    events.onHide = [this] { OnHide(); };
    events.onDpiChanged = [this](int dpi) { OnDpiChanged(dpi); };
    events.onDisplayChange = [this] { OnDisplayChange(); };
    events.filter = [this](const plat::Message& msg) -> std::optional<std::intptr_t> {
        if (procFilter_) {
            return procFilter_(msg);
        }
        return std::nullopt;
    };
    window_ = plat::Window::Create(options, std::move(events));
    window_->SetClientSize(clientSize);
}

TForm::~TForm() = default;

void TForm::SetPosition(TPosition position) { position_ = position; }

void TForm::ShowForm() {
    if (position_ == TPosition::poScreenCenter) {
        window_->CenterOnScreen();
    }
    window_->Show();
}

void TForm::ScaleBy(int numerator, int denominator) {
    if (denominator == 0) {
        return;
    }
    auto scale = [&](std::int32_t v) { return static_cast<std::int32_t>(std::int64_t{v} * numerator / denominator); };
    for (config::Control* panel : Panels()) {
        gfx::IntRect& b = panel->bounds;
        b = {scale(b.left), scale(b.top), scale(b.right), scale(b.bottom)};
    }
}

}  // namespace host

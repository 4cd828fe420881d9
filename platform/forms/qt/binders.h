#pragma once
// How each kind of control is shown by a Qt widget. A binder keeps one
// widget's rules together: the widget it makes, how the user's input on it
// reaches the model, and how a changed property of the model shows in it.

#include "platform/forms/control.h"

#include <QFont>

class QWidget;

namespace forms::qt {

class FormView;

struct Binder {
    // Creates the widget under parent and connects its user signals to the
    // model (through the view, which ignores them while it syncs).
    QWidget* (*make)(FormView& view, Control& control, QWidget* parent);
    // Shows one property in the widget; answers false for a property the
    // kind leaves to the common rules (geometry, font, colours, state).
    bool (*sync)(FormView& view, Control& control, QWidget* widget, Property what);
};

const Binder& BinderFor(ControlKind kind);

// The rules every kind shares: geometry, font, enabled, visible, fore colour.
void SyncCommon(FormView& view, Control& control, QWidget* widget, Property what);

QFont ToQFont(const Font& font);

// The properties that make up a control's whole appearance, in the order a
// fresh widget takes them.
inline constexpr Property kAllProperties[] = {
    Property::Geometry, Property::Font,    Property::Caption,   Property::Text,
    Property::List,     Property::Value,   Property::ListIndex, Property::Colors,
    Property::Enabled,  Property::Visible, Property::Picture,   Property::Extent,
};

}  // namespace forms::qt

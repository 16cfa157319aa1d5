#pragma once

// Keeps the open modal window within reach. Activating a window it blocks, as a click on the
// blocked owner does, raises the modal window again; and a modal window that gets minimized
// comes straight back: it offers no minimize button, but some window managers draw one anyway,
// and a minimized modal window would leave its owner blocked with nothing to click. Installed
// once; costs nothing while no window is modal.
namespace ModalRaise {

void install();

}  // namespace ModalRaise

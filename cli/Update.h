#pragma once
// n640ctl update check [--server URL] [--download FILE]: asks the update server whether newer
// firmware exists for the mouse, with the driver's rules, and fetches the image on request. It
// never flashes.

namespace n640::cli {

class CSession;

int RunUpdateCommand(CSession& s);

} // namespace n640::cli

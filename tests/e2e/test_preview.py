"""The preview: saver.scr /p HANDLE becomes a 152 x 112 child at the origin of the given window and
shows the package's preview picture stretched over it.

Wine draws a window only inside its own process's windows, so a child of another program's window
never reaches the screen there; the host reports the child's place and state instead, and the
picture's pixels are checked on the simulated platform."""

import os

import harness
from pictures import solid_bmp


class Preview(harness.WineTestCase):
    def test_the_preview_picture_fills_a_small_child_at_the_hosts_origin(self):
        handle_file = os.path.join(self.dir, "handle.txt")
        report_file = os.path.join(self.dir, "children.txt")
        host = self.wine.start(os.path.join(harness.PATHS.win32_bin, "preview_host.exe"),
                               self.wine.windows_path(handle_file), self.wine.windows_path(report_file))
        handle = harness.wait_until(lambda: os.path.exists(handle_file) and open(handle_file).read().strip(), 30,
                                    what="the host's handle")
        # A 16 x 12 picture: stretching it to 152 x 112 shows its colour everywhere in the child.
        preview = self.build_saver(
            {"strings": {"SaverName": "E2E Preview"}, "items": [{"file": "a.bmp"}],
             "previewImage": {"file": "preview.bmp"}},
            files={"a.bmp": solid_bmp(4, 4, (0, 0, 0)), "preview.bmp": solid_bmp(16, 12, (200, 30, 40))})
        saver = self.wine.start(preview, "/p", handle, trace=self.trace.path)
        self.trace.wait_for("Preview picture 16x12")

        def children():
            try:
                with open(report_file) as f:
                    return [line.split() for line in f if line.strip()]
            except FileNotFoundError:
                return []

        harness.wait_until(lambda: children() == [["0", "0", "152", "112", "1"]], 20, interval=0.2,
                           what="one visible 152 x 112 child at the host's origin")
        self.assertIsNone(saver.poll(), "the preview runs until the system ends it")
        saver.kill()
        host.kill()


if __name__ == "__main__":
    harness.main()

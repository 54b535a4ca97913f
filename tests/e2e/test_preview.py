"""The preview: saver.scr /p HANDLE becomes a 152 x 112 child at the origin of the given window and
shows the package's preview picture stretched over it; it ends with the window it lies in, whether
that window is destroyed or its program ends.

Wine draws a window only inside its own process's windows, so a child of another program's window
never reaches the screen there; the host reports the child's place and state instead, and the
picture's pixels are checked on the simulated platform."""

import os

import harness
from pictures import solid_bmp


# The preview's orderly end, as the trace shows it: the close steps that apply to a preview.
PREVIEW_CLOSE = ["Form CLose", "Screensaver freed", "Freeing backg", "Freeing gifbackg", "Freeing bgimg",
                 "Freeing logo", "Freeing MemImage", "Form Destroy"]


def read_handle(path):
    try:
        with open(path) as f:
            return f.read().strip()
    except FileNotFoundError:
        return ""


def start_host(test, program, *files):
    """Starts a stand-in for the display settings; returns the process and its preview area's handle."""
    host = test.wine.start(os.path.join(harness.PATHS.win32_bin, program), *map(test.wine.windows_path, files))
    handle = harness.wait_until(lambda: read_handle(files[0]), 30, what="the host's handle")
    return host, handle


def start_preview(test, handle):
    # A 16 x 12 picture: stretching it to 152 x 112 shows its colour everywhere in the child.
    preview = test.build_saver(
        {"strings": {"SaverName": "E2E Preview"}, "items": [{"file": "a.bmp"}],
         "previewImage": {"file": "preview.bmp"}},
        files={"a.bmp": solid_bmp(4, 4, (0, 0, 0)), "preview.bmp": solid_bmp(16, 12, (200, 30, 40))})
    saver = test.wine.start(preview, "/p", handle, trace=test.trace.path)
    test.trace.wait_for("Preview picture 16x12")
    return saver


class Preview(harness.WineTestCase):
    def test_the_preview_picture_fills_a_small_child_at_the_hosts_origin(self):
        handle_file = os.path.join(self.dir, "handle.txt")
        report_file = os.path.join(self.dir, "children.txt")
        host, handle = start_host(self, "preview_host.exe", handle_file, report_file)
        saver = start_preview(self, handle)

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

    def test_the_preview_ends_when_the_window_it_lies_in_is_destroyed(self):
        destroyed_file = os.path.join(self.dir, "destroyed.txt")
        host, handle = start_host(self, "preview_parent_probe.exe", os.path.join(self.dir, "handle.txt"),
                                  destroyed_file)
        saver = start_preview(self, handle)
        harness.wait_until(lambda: os.path.exists(destroyed_file), 30, what="the host destroying the preview area")
        self.wait_exit(saver, timeout=5)
        self.assertEqual(self.trace.lines()[-len(PREVIEW_CLOSE):], PREVIEW_CLOSE)
        self.assertIsNone(host.poll(), "the host runs on")

    def test_the_preview_ends_when_the_program_of_its_window_ends(self):
        handle_file = os.path.join(self.dir, "handle.txt")
        host, handle = start_host(self, "preview_host.exe", handle_file, os.path.join(self.dir, "children.txt"))
        saver = start_preview(self, handle)
        host.kill()
        host.wait(timeout=10)
        self.wait_exit(saver, timeout=5)
        self.assertEqual(self.trace.lines()[-len(PREVIEW_CLOSE):], PREVIEW_CLOSE)


if __name__ == "__main__":
    harness.main()

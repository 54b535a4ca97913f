"""The bare runtime without a package says that it can not run, in every mode that reads the package."""

import harness

CAN_NOT_RUN = "Message box: can not run"


class BareSaver(harness.WineTestCase):
    def check_can_not_run(self, *args):
        program = self.copy_saver()
        process = self.wine.start(program, *args, trace=self.trace.path)
        self.trace.wait_for(CAN_NOT_RUN)
        box = harness.wait_until(lambda: self.display.windows("^Screen Saver$"), 30, what="the message box")
        self.assertIsNone(process.poll(), "the program must wait for the message to be dismissed")
        self.display.xdotool("windowfocus", "--sync", box[0])
        self.display.xdotool("key", "Return")
        self.wait_exit(process)
        lines = self.trace.lines()
        self.assertEqual(lines.count(CAN_NOT_RUN), 1)
        self.assertTrue(any(line.startswith("Package not readable: the trailer's magic is missing") for line in lines),
                        lines)

    def test_full_screen_mode(self):
        self.check_can_not_run("/s")

    def test_configuration_mode(self):
        self.check_can_not_run("/c")


if __name__ == "__main__":
    harness.main()

#!/usr/bin/python3
# gtk-client.py under the name the KWin test starts.
import os
import runpy

runpy.run_path(os.path.join(os.path.dirname(os.path.abspath(__file__)), "gtk-client.py"), run_name="__main__")

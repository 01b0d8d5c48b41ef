"""The scenario runner: drives KorvexMasterInstaller.exe end to end under Wine.

A scenario serves a download site from a loopback test server, prepares an
installer folder, runs the installer with switches while a message-box
watcher answers its boxes and a probe records its windows, and then looks
at the exit code, the boxes, the windows, the files and Wine's registry.
"""

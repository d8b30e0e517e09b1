auxiliary statements of the demo model

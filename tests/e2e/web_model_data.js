"use strict";
// Served by the web e2e in place of the page's data_worker.js: hands the page the test's pictures
// and font and the show's song, which the e2e puts beside the page, as that worker hands it the
// files it makes.
const names = ["theme2.xm", "drumvelk.raw", "quillmar.raw", "presents.raw", "zadadodovoze.raw",
               "balls.raw"];
onmessage = async (event) => {
  for (let i = event.data.part; i < names.length; i += event.data.parts) {
    const bytes = await (await fetch("model-data/" + names[i])).arrayBuffer();
    postMessage({ file: names[i], bytes }, [bytes]);
  }
  postMessage({ done: true });
};
